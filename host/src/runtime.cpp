// The runtime-library and math tables.
#include <strings.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

#include "services.h"

namespace tzx::host {
namespace {

int Strcmp(const char* a, const char* b) {
  return std::strcmp(a, b);
}
int Stricmp(const char* a, const char* b) {
  return strcasecmp(a, b);
}
int Strncmp(const char* a, const char* b, size_t n) {
  return std::strncmp(a, b, n);
}
int Strnicmp(const char* a, const char* b, size_t n) {
  return strncasecmp(a, b, n);
}
size_t Strlen(const char* s) {
  return std::strlen(s);
}
char* Strcpy(char* d, const char* s) {
  return std::strcpy(d, s);
}
const char* Strchr(const char* s, int c) {
  return std::strchr(s, c);
}
const char* Stristr(const char* h, const char* n) {
  return strcasestr(h, n);
}
void Strlcpy(char* d, size_t size, const char* s) {
  if (size == 0) return;
  size_t n = std::strlen(s);
  if (n >= size) n = size - 1;
  std::memcpy(d, s, n);
  d[n] = 0;
}
void Strlcat(char* d, size_t size, const char* s) {
  size_t used = strnlen(d, size);
  if (used < size) Strlcpy(d + used, size - used, s);
}
void* Memset(void* d, int c, size_t n) {
  return std::memset(d, c, n);
}
void* Memcpy(void* d, const void* s, size_t n) {
  return std::memcpy(d, s, n);
}
int Memcmp(const void* a, const void* b, size_t n) {
  return std::memcmp(a, b, n);
}
int Sprintf(char* d, const char* f, ...) {
  va_list ap;
  va_start(ap, f);
  int r = std::vsprintf(d, f, ap);
  va_end(ap);
  return r;
}
int Snprintf(char* d, size_t n, const char* f, ...) {
  va_list ap;
  va_start(ap, f);
  int r = std::vsnprintf(d, n, f, ap);
  va_end(ap);
  return r;
}
void Qsort(void* b, size_t n, size_t s, int (*c)(const void*, const void*)) {
  std::qsort(b, n, s, c);
}
int Tolower(int c) {
  return std::tolower(c);
}
int RoundToInt(double v) {
  return static_cast<int>(std::lround(v));
}

double Sin(double v) {
  return std::sin(v);
}
double Cos(double v) {
  return std::cos(v);
}
double Tan(double v) {
  return std::tan(v);
}
double Fmod(double a, double b) {
  return std::fmod(a, b);
}
double Sqrt(double v) {
  return std::sqrt(v);
}
double Modf(double v, double* i) {
  return std::modf(v, i);
}
double Round(double v) {
  return std::round(v);
}
double Random() {
  thread_local std::mt19937_64 engine{std::random_device{}()};
  return std::uniform_real_distribution<double>(0.0, 1.0)(engine);
}

}  // namespace

const RuntimeLibrary kRuntime = {
    .strcmp = Strcmp,
    .stricmp = Stricmp,
    .strncmp = Strncmp,
    .strnicmp = Strnicmp,
    .strlen = Strlen,
    .strcpy = Strcpy,
    .strchr = Strchr,
    .stristr = Stristr,
    .strlcpy = Strlcpy,
    .strlcat = Strlcat,
    .memset = Memset,
    .memcpy = Memcpy,
    .memcmp = Memcmp,
    .sprintf = Sprintf,
    .snprintf = Snprintf,
    .qsort = Qsort,
    .tolower = Tolower,
    .roundToInt = RoundToInt,
};

const MathLibrary kMath = {
    .sin = Sin,
    .cos = Cos,
    .tan = Tan,
    .fmod = Fmod,
    .sqrt = Sqrt,
    .modf = Modf,
    .round = Round,
    .random = Random,
};

}  // namespace tzx::host
