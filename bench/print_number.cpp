// The smallest useful program: prints one number. A yardstick for the cost
// of starting a process, against which pqtool's start-up is measured.

#include <cstdio>

int main() {
    std::printf("%.12g\n", 1.524);
    return 0;
}
