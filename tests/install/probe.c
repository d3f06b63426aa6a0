/* A program of someone else's that uses the installed library: prints the library's version and
 * what it reads from the AC3 file named by its argument. */
#include <stdio.h>
#include <tracklens/tracklens.h>

int main(int argc, char** argv) {
    AC3_INFO info = {0, 0, 0};
    if (argc != 2) {
        return 2;
    }
    const int found = GetAc3Info(argv[1], &info);
    printf("%s %d %d %d %d\n", get_version(), found, (int)info.Bitrate, (int)info.Channels,
           (int)info.SampleRate);
    return 0;
}
