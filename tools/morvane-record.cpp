// Shows or converts a game record: see RecordTool.h.
#include <iostream>
#include <string>
#include <vector>

#include "RecordTool.h"

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--version") {
        std::cout << "morvane-record " MORVANE_VERSION "\n";
        return 0;
    }
    return RunRecordTool(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
