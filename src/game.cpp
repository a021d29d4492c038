#include "game.h"

#include <GL/gl.h>
#include <GL/glu.h>

int windowWidth = 1000;
int windowHeight = 500;
GameState gameState = STATE_TITLE;
int foodFed = 0;

double windowAspect() {
    return double(windowWidth > 0 ? windowWidth : 1) / double(windowHeight > 0 ? windowHeight : 1);
}

void multViewPerspective() {
    gluPerspective(VIEW_FIELD_OF_VIEW, windowAspect(), VIEW_NEAR, VIEW_FAR);
}

void checkOutcome() {
    if (foodFed == WIN_SCORE)
        gameState = STATE_WON;
    else if (foodFed == LOSE_SCORE)
        gameState = STATE_LOST;
}

void resetGameState() {
    gameState = STATE_TITLE;
    foodFed = 0;
}

void toggleGameState() {
    if (gameState == STATE_TITLE) {
        gameState = STATE_PLAYING;
    } else {
        gameState = STATE_TITLE;
        foodFed = 0;
    }
}
