// The frame of dos.tzx: its descriptor, tables and start-up steps.
#include "bindings.h"
#include "constants.h"
#include "tzx/dos.h"
#include "tzx/errors.h"
#include "tzx/objects.h"

namespace tzx::dos {

extern const BindingRow kBindings[];

namespace {

// A leading NUL, then the version text with its trailing blank.
constexpr char kDescriptor[] = "\0$VER: dos.tzx 11.0 (10.01.26) [Windows] [x86] ";

const DosInterface kInterface = {};

const CommandRow kCommands[] = {
    {nullptr, nullptr},
};

ObjectHeader* gFileList = nullptr;
ObjectHeader* gDirectoryList = nullptr;

// No attribute of this type is readable yet; a lookup still reports unknown
// objects the same way the commands do.
int FileAttribute(lua_State*, int, const ObjectId* id) {
  if (!FindObject(gFileList, *id)) return ObjectNotFound(*id, 1179);
  return kErrUnknownAttribute;
}

// No attribute of this type is readable yet; a lookup still reports unknown
// objects the same way the commands do.
int DirectoryAttribute(lua_State*, int, const ObjectId* id) {
  if (!FindObject(gDirectoryList, *id)) return ObjectNotFound(*id, 1318);
  return kErrUnknownAttribute;
}

const ObjectTypeRow kObjectTypes[] = {
    {44, "Files", &gFileList, FileAttribute},
    {45, "Directories", &gDirectoryList, DirectoryAttribute},
    {0, nullptr, nullptr, nullptr},
};

void Close(lua_State* L) {
  while (ObjectHeader* h = gFileList) {
    UnlinkObject(&gFileList, h);
    ForgetAndFree(L, h);
  }
  while (ObjectHeader* h = gDirectoryList) {
    UnlinkObject(&gDirectoryList, h);
    ForgetAndFree(L, h);
  }
}

const LibraryDefinition kDefinition = {
    .name = "dos",
    .descriptor = kDescriptor,
    .commands = kCommands,
    .constants = kConstants,
    .bindings = kBindings,
    .interface = &kInterface,
    .requiresGraphics = false,
    .setUp = nullptr,
    .finishSetUp = nullptr,
    .objectTypes = kObjectTypes,
    .close = Close,
};

}  // namespace
}  // namespace tzx::dos

const tzx::LibraryDefinition& tzx::ThisLibrary() { return tzx::dos::kDefinition; }
