#pragma once
// Starting a program of the game folder (the wizard's current directory).
#include <string>

namespace wizard {

// Starts `program` (a file name in the game folder) with the given show state and does not wait
// for it. A program that cannot be started raises mend::Error with the Windows error.
void StartProgram(const std::wstring &program, int showState);

} // namespace wizard
