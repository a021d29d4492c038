#include "support/views.h"

#include "app/app.h"
#include "camera/camera.h"
#include "food/feeding.h"
#include "food/food.h"
#include "food/pick.h"

#include <GL/glu.h>
#include <cmath>

// Each food's home as the game shows it once the title drift has settled its gaze: x, y from the
// top, and whether it is inside the window.
static std::vector<std::pair<bool, std::pair<int, int>>> settledHomes(bool turnedAround) {
    // The drift runs its course from the start camera alike in any process.
    Camera *keep = camera;
    GameState state = gameState;
    camera = new Camera();
    gameState = STATE_TITLE;
    for (int frame = 0; frame < 400; frame++) titleDrift();
    if (turnedAround)
        camera->direction = {-camera->direction.x, camera->direction.y, -camera->direction.z};
    setProjection();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    camera->look();
    delete camera;
    camera = keep;
    gameState = state;
    GLdouble model[16], projection[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    GLint viewport[4] = {0, 0, 1000, 500};
    std::vector<std::pair<bool, std::pair<int, int>>> homes;
    for (Food *food : foods) {
        GLdouble x = 0, y = 0, z = 0;
        gluProject(food->home.x, food->home.y, food->home.z, model, projection, viewport, &x, &y,
                   &z);
        bool inside = z > 0 && z < 1 && x > 10 && x < 990 && y > 10 && y < 490;
        homes.push_back({inside, {int(std::lround(x)), int(std::lround(500 - y))}});
    }
    return homes;
}

std::vector<std::pair<int, int>> settledFoodPoints() {
    std::vector<std::pair<int, int>> points;
    for (const auto &home : settledHomes(false))
        if (home.first) points.push_back(home.second);
    return points;
}

bool settledFoodPoint(int index, int &x, int &y, bool turnedAround) {
    auto home = settledHomes(turnedAround)[size_t(index)];
    x = home.second.first;
    y = home.second.second;
    return home.first;
}
