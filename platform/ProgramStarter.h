// Starting another program, detached from the one that starts it.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace quarto {

class TProgramStarter {
public:
    virtual ~TProgramStarter() = default;
    // Starts program detached, in its own folder, with the arguments; false when it cannot.
    virtual bool Start(const std::string& program, const std::vector<std::string>& arguments) = 0;
};

// The starter of this system (ProgramStarterQt.cpp, for every platform).
std::unique_ptr<TProgramStarter> MakeProgramStarter();

} // namespace quarto
