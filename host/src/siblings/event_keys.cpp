#include "event_keys.h"

#include <strings.h>

namespace tzx::host {

namespace {

struct NamedKey {
  int code;
  const char* name;
};

constexpr NamedKey kKeys[] = {
    {0x100, "UP"},      {0x101, "DOWN"},     {0x102, "RIGHT"},     {0x103, "LEFT"},
    {0x105, "F1"},      {0x106, "F2"},       {0x107, "F3"},        {0x108, "F4"},
    {0x109, "F5"},      {0x10A, "F6"},       {0x10B, "F7"},        {0x10C, "F8"},
    {0x10D, "F9"},      {0x10E, "F10"},      {0x10F, "BACKSPACE"}, {0x110, "TAB"},
    {0x111, "NPENTER"}, {0x112, "ENTER"},    {0x113, "ESC"},       {0x114, "SPACE"},
    {0x115, "DEL"},     {0x116, "F11"},      {0x117, "F12"},       {0x118, "INSERT"},
    {0x119, "HOME"},    {0x11A, "END"},      {0x11B, "PAGEUP"},    {0x11C, "PAGEDOWN"},
    {0x11D, "PRINT"},   {0x11E, "PAUSE"},    {0x11F, "F13"},       {0x120, "F14"},
    {0x121, "F15"},     {0x122, "F16"},      {0x123, "NP0"},       {0x124, "NP1"},
    {0x125, "NP2"},     {0x126, "NP3"},      {0x127, "NP4"},       {0x128, "NP5"},
    {0x129, "NP6"},     {0x12A, "NP7"},      {0x12B, "NP8"},       {0x12C, "NP9"},
    {0x12D, "NPMUL"},   {0x12E, "NPADD"},    {0x12F, "NPSUB"},     {0x130, "NPDEC"},
    {0x131, "NPDIV"},   {0x132, "LSHIFT"},   {0x133, "RSHIFT"},    {0x134, "LALT"},
    {0x135, "RALT"},    {0x138, "LCONTROL"}, {0x139, "RCONTROL"},
};

}  // namespace

const char* KeyName(int code) {
  for (const NamedKey& k : kKeys) {
    if (k.code == code) return k.name;
  }
  return nullptr;
}

int KeyCode(const char* name) {
  for (const NamedKey& k : kKeys) {
    if (strcasecmp(k.name, name) == 0) return k.code;
  }
  return -1;
}

}  // namespace tzx::host
