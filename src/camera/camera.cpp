#include "camera/camera.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cmath>

Camera *camera = nullptr;

// A single-precision sine and cosine of a stored angle; the gaze z is the negated cosine.
static void gazeFromYaw(float yaw, Vector3 &direction) {
    direction.x = float(std::sin(double(yaw)));
    direction.z = -float(std::cos(double(yaw)));
}

Camera::Camera() : position{-8.0f, CAMERA_EYE_HEIGHT, -8.0f}, yaw(float(PI_D)), moveSign(1) {
    direction.y = 2.0f;
    gazeFromYaw(yaw, direction);
}

void lookAlong(Vector3 eye, Vector3 gaze) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(eye.x, eye.y, eye.z, double(eye.x) + double(gaze.x), double(eye.y) + double(gaze.y),
              double(eye.z) + double(gaze.z), 0.0, 1.0, 0.0);
}

void Camera::look() {
    lookAlong(position, direction);
}

void Camera::move(bool forward, float step) {
    moveSign = forward ? 1 : -1;
    float sign = float(moveSign);
    float nx = float(double(position.x) + double(direction.x) * double(sign) * double(step));
    float nz = float(double(position.z) + double(direction.z) * double(sign) * double(step));
    float sum = float(double(nx) * double(nx) + double(nz) * double(nz));
    float distance = float(std::sqrt(double(sum)));
    // All or nothing: no sliding along the fence.
    if (distance < FENCE_RADIUS) {
        position.x = nx;
        position.z = nz;
    }
}

void Camera::turn(bool right) {
    if (right) {
        yaw = float(double(yaw) + double(CAMERA_TURN_STEP));
        if (double(yaw) >= TWO_PI_D) yaw = 0.0f;
    } else {
        yaw = float(double(yaw) - double(CAMERA_TURN_STEP));
        if (yaw <= 0.0f) yaw = TWO_PI_F;
    }
    gazeFromYaw(yaw, direction);
}

void Camera::tilt(bool up) {
    double delta = up ? double(CAMERA_TILT_STEP) : -double(CAMERA_TILT_STEP);
    direction.y = float(double(direction.y) + delta);
}

void Camera::turnAround() {
    direction.x = -direction.x;
    direction.z = -direction.z;
    // The yaw is walked down in small steps with a float counter, which takes 3142 steps: a
    // little more than π. The gaze stays the negated one until the next turn recomputes it.
    float turned = 0.0f;
    do {
        yaw = float(double(yaw) - 0.001);
        if (yaw < 0.0f) yaw = TWO_PI_F;
        turned = float(double(turned) + 0.001);
    } while (double(turned) < PI_D);
}
