/* Benchmark helper: decodes a PNG to 8-bit RGBA with libpng, N times, and prints the
 * milliseconds of each decode (file read included), as the native yardstick.
 *   pngdecode N file.png */
#include <png.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

static double now_ms(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    for (int run = 0; run < atoi(argv[1]); ++run) {
        const double start = now_ms();
        png_image image = {0};
        image.version = PNG_IMAGE_VERSION;
        if (!png_image_begin_read_from_file(&image, argv[2])) return 1;
        image.format = PNG_FORMAT_BGRA;
        png_bytep pixels = malloc(PNG_IMAGE_SIZE(image));
        if (!pixels || !png_image_finish_read(&image, NULL, pixels, 0, NULL)) return 1;
        free(pixels);
        printf("%.1f\n", now_ms() - start);
    }
    return 0;
}
