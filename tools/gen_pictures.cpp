// Generator of menus, screens, sprites and fonts.
#include "generator.h"

bool generatePictures(const std::string& runDir) {
    (void)runDir;
    return true;
}
