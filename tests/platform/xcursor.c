/* Test helper: prints the size of the X pointer's current picture and how many of its pixels show
   (alpha above 0): "16x16 0" for a hidden pointer. Reads it through XFixes, as a screen recorder would. */
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>
#include <stdio.h>

int main(void) {
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "plinkor-xcursor: no display\n");
        return 1;
    }
    int event = 0, error = 0;
    if (!XFixesQueryExtension(display, &event, &error)) {
        fprintf(stderr, "plinkor-xcursor: no XFixes\n");
        return 1;
    }
    XFixesCursorImage* image = XFixesGetCursorImage(display);
    if (image == NULL) {
        fprintf(stderr, "plinkor-xcursor: no pointer picture\n");
        return 1;
    }
    int shown = 0;
    for (int i = 0; i < image->width * image->height; i++) {
        if ((image->pixels[i] >> 24) & 0xFF) {
            shown++;
        }
    }
    printf("%dx%d %d\n", image->width, image->height, shown);
    XFree(image);
    XCloseDisplay(display);
    return 0;
}
