/* A plug-in for the failure paths of PLUGIN. What InitPlugIn does is chosen
 * by the environment variable ORVTEST_PLUGIN (set by the directive file with
 * CREATE type="evariable"):
 *   zero        InitPlugIn returns 0
 *   incomplete  no version
 *   partial     the tag list "a;b|fb": "a" lacks its function
 *   missing     "GOOD|fb;BAD|NotExported": a function is missing
 *   (other)     "TESTTAG|fb;TESTFAIL|fbad"
 * fb counts its calls in the memo "fb.calls" and succeeds; fbad returns 255 (-1). */
#include <orvantis/plugin.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#ifdef _WIN32
#include <windows.h>
#endif

static void mode(char* out, size_t size) {
  out[0] = '\0';
#ifdef _WIN32
  DWORD n = GetEnvironmentVariableA("ORVTEST_PLUGIN", out, (DWORD)size);
  if (n == 0 || n >= size) out[0] = '\0';
#else
  const char* value = getenv("ORVTEST_PLUGIN");
  if (value && strlen(value) < size) strcpy(out, value);
#endif
}

/* The information block is packed: a field may sit at an odd address. */
static void setField(void* field, size_t units, const char16_t* text) {
  for (size_t n = 0; n + 1 < units && text[n]; ++n)
    memcpy((char*)field + n * sizeof(char16_t), &text[n], sizeof(char16_t));
}

ORV_PLUGIN_EXPORT int InitPlugIn(OrvPluginInfo* info) {
  char m[32];
  mode(m, sizeof m);
  if (strcmp(m, "zero") == 0) return 0;
  setField(info->name, 100, u"Essai");
  if (strcmp(m, "incomplete") != 0) setField(info->version, 10, u"2.5");
  setField(info->creationDate, 20, u"10/12/2026");
  info->compatibility = 200;
  if (strcmp(m, "partial") == 0)
    info->tags = u"a;b|fb";
  else if (strcmp(m, "missing") == 0)
    info->tags = u"GOOD|fb;BAD|NotExported";
  else
    info->tags = u"TESTTAG|fb;TESTFAIL|fbad";
  return 1;
}

ORV_PLUGIN_EXPORT intptr_t fb(OrvElement* element) {
  char text[32];
  long calls = 0;
  if (element->api->memo(element, "fb.calls", text, sizeof text) >= 0) calls = strtol(text, NULL, 10);
  snprintf(text, sizeof text, "%ld", calls + 1);
  element->api->setMemo(element, "fb.calls", text);
  return 1;
}

ORV_PLUGIN_EXPORT intptr_t fbad(OrvElement* element) {
  (void)element;
  return 0x1FF; /* only the low byte counts: 255, that is -1 */
}
