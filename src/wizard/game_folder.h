#pragma once
// The game folder is the wizard's current directory; these read it and start programs in it.
#include <string>

namespace wizard {

// The current directory as a full path, without a trailing backslash (but "C:\" stays whole).
std::wstring GameFolder();

// Starts `program` (a file name in the game folder) with the given show state and does not wait
// for it. A program that cannot be started raises mend::Error with the Windows error.
void StartProgram(const std::wstring& program, int showState);

}  // namespace wizard
