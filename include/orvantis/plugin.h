/* Orvantis plug-in interface: everything a plug-in library needs, in C.
 *
 * A plug-in exports InitPlugIn and one function per tag it declares:
 *
 *   ORV_PLUGIN_EXPORT int InitPlugIn(OrvPluginInfo* info);
 *   ORV_PLUGIN_EXPORT intptr_t MyTag(OrvElement* element);
 *
 * Texts:
 *   - the information block and the tag list are UTF-16 (char16_t) on every
 *     platform, so one plug-in source builds for Windows and Linux;
 *   - the host functions below hand texts out as UTF-8 (char) or UTF-16
 *     (char16_t), as the plug-in asks, and take UTF-8;
 *   - (for LIB, not plug-ins) a "string" parameter reaches the called
 *     function as UTF-16 on Windows and UTF-8 on Linux.
 * See docs/plugins.md.
 */
#ifndef ORVANTIS_PLUGIN_H
#define ORVANTIS_PLUGIN_H

#include <stddef.h>
#include <stdint.h>
#ifndef __cplusplus
#include <uchar.h>
#endif

#ifdef _WIN32
#define ORV_PLUGIN_EXPORT __declspec(dllexport)
#else
#define ORV_PLUGIN_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The information block InitPlugIn fills. The program hands it over filled
 * with zeros; a packed little-endian record of 1393 bytes. Text fields are
 * fixed-length UTF-16: a text shorter than its field ends with a NUL. */
#pragma pack(push, 1)
typedef struct OrvPluginInfo {
  char16_t name[100];        /* offset 0, required */
  char16_t version[10];      /* offset 200, required */
  char16_t description[512]; /* offset 220 */
  uint8_t compatibility;     /* offset 1244, only shown in the log */
  char16_t author[50];       /* offset 1245 */
  char16_t creationDate[20]; /* offset 1345, required */
  const char16_t* tags;      /* offset 1385, required: "TAG|Function;TAG2|Function2", NUL-terminated;
                                must stay valid while the plug-in is loaded */
} OrvPluginInfo;
#pragma pack(pop)

/* Returns non-zero when the plug-in is ready; 0 makes the program unload it. */
typedef int (*OrvInitPlugInFunction)(OrvPluginInfo* info);

typedef struct OrvElement OrvElement;

/* Version of the host function table; later versions only append members. */
#define ORV_HOST_API_VERSION 1

/* Functions the program offers to a tag function, for the element being run.
 * Functions that copy a text into buffer write at most capacity units, the
 * NUL included (never splitting a character), and return the length of the
 * whole text in units without the NUL (bytes for UTF-8, char16_t for UTF-16),
 * or -1 when there is nothing to read. Call with capacity 0 to learn the size.
 * Names and written texts are UTF-8. */
typedef struct OrvHostApi {
  uint32_t version; /* ORV_HOST_API_VERSION of the running program */
  uint32_t size;    /* sizeof(OrvHostApi) in the running program */
  /* An attribute's value after variable expansion (#name#); names ignore case. */
  int64_t (*attribute)(OrvElement* element, const char* name, char* buffer, size_t capacity);
  int64_t (*attributeUtf16)(OrvElement* element, const char* name, char16_t* buffer, size_t capacity);
  /* The element's tag, and its path such as /ORVANTIS/ACTION[2]/MYTAG. */
  int64_t (*tag)(OrvElement* element, char* buffer, size_t capacity);
  int64_t (*path)(OrvElement* element, char* buffer, size_t capacity);
  /* Writes a line to the run log. level is a level token: "+1", "+2" (a line
   * under the tag), "ERR+1" (an error, "X-> "), "WRN+1" (a warning, "!-> "). */
  void (*log)(OrvElement* element, const char* level, const char* message);
  /* Reads a memo (names are case-sensitive), or writes one (returns 1). */
  int64_t (*memo)(OrvElement* element, const char* name, char* buffer, size_t capacity);
  int (*setMemo)(OrvElement* element, const char* name, const char* value);
} OrvHostApi;

/* The handle a tag function receives; valid only during that call. */
struct OrvElement {
  const OrvHostApi* api;
};

/* A tag function: the low byte of its return is the directive's result
 * (1 success, 0 error, -1 as 255: ignored). */
typedef intptr_t (*OrvTagFunction)(OrvElement* element);

#ifdef __cplusplus
}
#endif

#endif /* ORVANTIS_PLUGIN_H */
