/* A library for LIB tests: each function checks that its parameters arrive
 * exactly as the directive describes them (pointers to blocks) and returns a
 * value the test can compare. It has no InitPlugIn on purpose. */
#include <orvantis/plugin.h>

#include <string.h>

typedef const void* P;

/* The integer or quad block's value. */
ORV_PLUGIN_EXPORT int64_t EchoInteger(const int64_t* value) { return value ? *value : -1; }

/* The bits of a double block, so that any rounding shows. */
ORV_PLUGIN_EXPORT int64_t DoubleBits(const double* value) {
  int64_t bits = -1;
  if (value) memcpy(&bits, value, sizeof bits);
  return bits;
}

/* The bits of a float block (4 bytes). */
ORV_PLUGIN_EXPORT int64_t FloatBits(const float* value) {
  uint32_t bits = 0;
  if (!value) return -1;
  memcpy(&bits, value, sizeof bits);
  return bits;
}

/* 1 when the text block holds "Élan à 5 €" with its NUL: UTF-16 on Windows,
 * UTF-8 elsewhere; 0 otherwise. */
ORV_PLUGIN_EXPORT int64_t TextMatches(const void* text) {
#ifdef _WIN32
  static const char16_t expected[] = u"Élan à 5 €";
#else
  static const char expected[] = u8"Élan à 5 €";
#endif
  return text && memcmp(text, expected, sizeof expected) == 0;
}

/* 20 when parameter i holds the integer i for every i; otherwise minus the
 * first position that does not. */
ORV_PLUGIN_EXPORT int64_t CheckTwenty(const int64_t* p1, const int64_t* p2, const int64_t* p3,
                                      const int64_t* p4, const int64_t* p5, const int64_t* p6,
                                      const int64_t* p7, const int64_t* p8, const int64_t* p9,
                                      const int64_t* p10, const int64_t* p11, const int64_t* p12,
                                      const int64_t* p13, const int64_t* p14, const int64_t* p15,
                                      const int64_t* p16, const int64_t* p17, const int64_t* p18,
                                      const int64_t* p19, const int64_t* p20) {
  const int64_t* p[20] = {p1,  p2,  p3,  p4,  p5,  p6,  p7,  p8,  p9,  p10,
                          p11, p12, p13, p14, p15, p16, p17, p18, p19, p20};
  for (int i = 0; i < 20; ++i)
    if (!p[i] || *p[i] != i + 1) return -(i + 1);
  return 20;
}

/* The positions (bit i-1 for argument i) of the non-null arguments among 20. */
ORV_PLUGIN_EXPORT int64_t ArgumentMask(P a1, P a2, P a3, P a4, P a5, P a6, P a7, P a8, P a9, P a10, P a11,
                                       P a12, P a13, P a14, P a15, P a16, P a17, P a18, P a19, P a20) {
  P a[20] = {a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11, a12, a13, a14, a15, a16, a17, a18, a19, a20};
  int64_t mask = 0;
  for (int i = 0; i < 20; ++i)
    if (a[i]) mask |= (int64_t)1 << i;
  return mask;
}

/* Calls since the library was loaded: LIB unloads after each call, so 1. */
ORV_PLUGIN_EXPORT int64_t CountCalls(void) {
  static int64_t calls = 0;
  return ++calls;
}
