// Running programs: the command line split the way the script wrote it, and
// programs started without a shell and waited for, their standard output
// collected as it comes.
#pragma once

#include <cstddef>
#include <string_view>

namespace tzx::dos {

// A program text without a separate argument string: a program that starts
// with a double quote ends at the closing quote, else at the first blank;
// blanks after it are skipped and the rest is the argument string. False when
// the closing quote is missing.
bool SplitProgramText(std::string_view text, std::string_view* program,
                      std::string_view* arguments);

// Room SplitArguments needs for a text of `length` bytes.
constexpr size_t ArgumentCharsNeeded(size_t length) {
  return 2 * length + 1;
}
constexpr size_t ArgumentSlotsNeeded(size_t length) {
  return length / 2 + 1;
}

// Splits an argument string at blanks (spaces and tabs). Double quotes group
// blanks into an argument and are dropped; a pair of quotes standing alone is
// an empty argument; a quote left open runs to the end. Each argument is
// written terminated into `chars` and pointed to from `argv`; the count.
size_t SplitArguments(std::string_view text, char* chars, char** argv);

// The argument vector of a program: the program, then the arguments split
// by SplitArguments, then null; one block from the host's memory, which the
// caller frees. Null when memory runs out.
char** NewArgumentVector(std::string_view program, std::string_view arguments);

// Standard output collected from a program, in host memory.
struct ProgramOutput {
  char* data = nullptr;
  size_t length = 0;
  size_t capacity = 0;
};
void FreeProgramOutput(ProgramOutput* output);

struct ProgramRequest {
  std::string_view program;    // the path, without quotes
  std::string_view arguments;  // split by SplitArguments
  const char* directory;       // working directory, or null
  bool captureOutput;
};

struct ProgramResult {
  bool started = false;
  int exitCode = 127;  // 127 when the program could not be started
  ProgramOutput output;
};

// Starts the program and waits for it to end, reading its output as it
// comes so that a program writing much never blocks. 0, or kErrNoMemory (the
// program still ran to its end; the output is dropped).
int ExecuteProgram(const ProgramRequest& request, ProgramResult* result);

}  // namespace tzx::dos
