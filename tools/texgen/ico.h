// Windows icon files (.ico): one picture at several sizes in one file, from which Explorer, the
// taskbar and the window's title bar each take the size they show.
#pragma once

#include <vector>

// One size of an icon: side x side pixels (1 to 256), R G B A bytes, top row first.
struct IconImage {
    int side = 0;
    std::vector<unsigned char> rgba;
};

// The bytes of an .ico holding the images in the order given, each a 32-bit bitmap: its alpha
// for the system's smooth edges, and the mask older drawing code takes instead (set where the
// picture is wholly transparent).
std::vector<unsigned char> icoFile(const std::vector<IconImage> &images);
