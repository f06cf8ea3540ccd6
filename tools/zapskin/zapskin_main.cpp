// zapskin: the command-line tool for skin authors; the commands live in zapskin_commands.
#include "tools/zapskin/zapskin_commands.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    return zaprelay::zapskin::RunZapskin(arguments, std::cout, std::cerr);
}
