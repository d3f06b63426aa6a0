#include "app/batch_driver.h"

#include <clocale>
#include <iostream>
#include <unistd.h>

int main(int argc, char** argv) {
    // Numbers in command lines follow the user's regional settings.
    std::setlocale(LC_ALL, "");
    std::vector<std::string> arguments(argv + 1, argv + argc);
    cantova::app::BatchDriver driver(std::cout, std::cerr, isatty(STDERR_FILENO) == 1);
    return driver.run(arguments);
}
