#include "run.h"

#include <cstring>

#include "platform/memory.h"
#include "platform/processes.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::dos {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

size_t SkipBlanks(std::string_view text, size_t at) {
  while (at < text.size() && IsBlank(text[at])) ++at;
  return at;
}

// Room for at least `needed` bytes, doubling so that a program writing a lot
// costs few copies. False when memory runs out.
bool Reserve(ProgramOutput* output, size_t needed) {
  if (needed <= output->capacity) return true;
  size_t capacity = output->capacity ? output->capacity : 4096;
  while (capacity < needed) capacity *= 2;
  char* data = static_cast<char*>(HostAlloc(capacity, false));
  if (!data) return false;
  platform::PreferLargePages(data, capacity);
  if (output->length) std::memcpy(data, output->data, output->length);
  HostFree(output->data);
  output->data = data;
  output->capacity = capacity;
  return true;
}

// Reads the program's output to its end. Once memory runs out the rest is
// read and dropped, so that the program is never left blocked on a full pipe.
bool CollectOutput(platform::NativeFile from, ProgramOutput* output) {
  constexpr size_t kChunk = 65536;
  bool kept = true;
  char spill[4096];
  for (;;) {
    if (kept && !Reserve(output, output->length + kChunk)) {
      FreeProgramOutput(output);
      kept = false;
    }
    char* into = kept ? output->data + output->length : spill;
    size_t room = kept ? output->capacity - output->length : sizeof spill;
    int64_t n = platform::ReadSome(from, into, static_cast<int64_t>(room));
    if (n <= 0) return kept;
    if (kept) output->length += static_cast<size_t>(n);
  }
}

}  // namespace

bool SplitProgramText(std::string_view text, std::string_view* program,
                      std::string_view* arguments) {
  size_t end;
  if (!text.empty() && text[0] == '"') {
    size_t close = text.find('"', 1);
    if (close == std::string_view::npos) return false;
    *program = text.substr(1, close - 1);
    end = close + 1;
  } else {
    end = 0;
    while (end < text.size() && !IsBlank(text[end])) ++end;
    *program = text.substr(0, end);
  }
  *arguments = text.substr(SkipBlanks(text, end));
  return true;
}

size_t SplitArguments(std::string_view text, char* chars, char** argv) {
  size_t count = 0;
  size_t at = SkipBlanks(text, 0);
  while (at < text.size()) {
    argv[count++] = chars;
    bool quoted = false;
    for (; at < text.size() && (quoted || !IsBlank(text[at])); ++at) {
      if (text[at] == '"')
        quoted = !quoted;
      else
        *chars++ = text[at];
    }
    *chars++ = '\0';
    at = SkipBlanks(text, at);
  }
  return count;
}

void FreeProgramOutput(ProgramOutput* output) {
  HostFree(output->data);
  *output = {};
}

char** NewArgumentVector(std::string_view programName, std::string_view arguments) {
  const size_t programLength = programName.size();
  const size_t argsLength = arguments.size();
  // One block: argv (program, arguments, null), the program, the arguments.
  const size_t slots = 1 + ArgumentSlotsNeeded(argsLength) + 1;
  char* block = static_cast<char*>(HostAlloc(
      slots * sizeof(char*) + programLength + 1 + ArgumentCharsNeeded(argsLength), false));
  if (!block) return nullptr;
  char** argv = reinterpret_cast<char**>(block);
  char* program = block + slots * sizeof(char*);
  std::memcpy(program, programName.data(), programLength);
  program[programLength] = '\0';
  argv[0] = program;
  size_t count = SplitArguments(arguments, program + programLength + 1, argv + 1);
  argv[1 + count] = nullptr;
  return argv;
}

int ExecuteProgram(const ProgramRequest& request, ProgramResult* result) {
  char** argv = NewArgumentVector(request.program, request.arguments);
  if (!argv) return kErrNoMemory;
  platform::ChildProcess child;
  result->started = platform::StartProcess(argv, request.directory, request.captureOutput, &child);
  HostFree(argv);
  if (!result->started) {
    result->exitCode = 127;
    return 0;
  }
  bool kept = true;
  if (request.captureOutput) {
    kept = CollectOutput(child.output, &result->output);
    platform::CloseNativeFile(child.output);
  }
  result->exitCode = platform::WaitProcess(&child);
  return kept ? 0 : kErrNoMemory;
}

}  // namespace tzx::dos
