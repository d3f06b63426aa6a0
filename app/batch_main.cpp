#include "app/batch_driver.h"

#include <iostream>

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    cantova::app::BatchDriver driver(std::cout, std::cerr);
    return driver.run(arguments);
}
