// Input: the GLUT callbacks only record; processInput turns the key table into actions once a
// frame.
#pragma once

// One flag per key code, 1 while down. Special keys share it at their GLUT codes (left arrow =
// 'd').
extern unsigned char keyDown[256];
// A left click waiting for the next frame's selection pass.
extern bool pickPending;
// Where that click was, in window pixels with y counted from the top.
extern float pickX, pickY;

// Frame-by-frame key actions, in the fixed order of the key map.
void processInput();

// GLUT callbacks.
void onKeyDown(unsigned char key, int x, int y);
void onKeyUp(unsigned char key, int x, int y);
void onSpecialDown(int key, int x, int y);
void onSpecialUp(int key, int x, int y);
void onMouse(int button, int state, int x, int y);
void onReshape(int width, int height);
