/* An Orvantis plug-in to start from. It declares two tags:
 *
 *   <WRITEFILE location="out.txt" text="Bonjour #user#"/>
 *       writes the expanded text (UTF-8) into the file, logs the number of
 *       bytes and leaves it in the memo "writefile.bytes";
 *   <FAILTAG reason="..."/>
 *       logs an error line and fails (result 0), so that the error policy of
 *       the element (blocktagerror) decides what happens next.
 *
 * Load it with <PLUGIN location="orvexample.dll"/> (orvexample.so on Linux).
 */
#include <orvantis/plugin.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* The tag list must outlive InitPlugIn: a static array does. */
static const char16_t kTags[] = u"WRITEFILE|WriteFileTag;FAILTAG|FailTag";

/* Copies a UTF-16 literal into a fixed field of the information block. The
 * block is packed, so a field may sit at an odd address: it is written byte
 * by byte, never through a char16_t pointer. */
static void setField(void* field, size_t units, const char16_t* text) {
  size_t n = 0;
  while (n + 1 < units && text[n]) {
    memcpy((char*)field + n * sizeof(char16_t), &text[n], sizeof(char16_t));
    ++n;
  }
}

ORV_PLUGIN_EXPORT int InitPlugIn(OrvPluginInfo* info) {
  setField(info->name, 100, u"Exemple Orvantis");
  setField(info->version, 10, u"1.0");
  setField(info->description, 512, u"Écrit un fichier, ou échoue à la demande.");
  info->compatibility = 1;
  setField(info->author, 50, u"Équipe Orvantis");
  setField(info->creationDate, 20, u"2026-12-10");
  info->tags = kTags;
  return 1;
}

/* An attribute's expanded UTF-8 value in a malloc'd buffer, or NULL when absent. */
static char* attribute(OrvElement* element, const char* name) {
  int64_t length = element->api->attribute(element, name, NULL, 0);
  if (length < 0) return NULL;
  char* value = malloc((size_t)length + 1);
  if (value) element->api->attribute(element, name, value, (size_t)length + 1);
  return value;
}

#ifdef _WIN32
#include <wchar.h>
/* Windows file names are UTF-16: ask for the location in that form. */
static FILE* openLocation(OrvElement* element) {
  int64_t length = element->api->attributeUtf16(element, "location", NULL, 0);
  if (length <= 0) return NULL;
  char16_t* path = malloc(((size_t)length + 1) * sizeof(char16_t));
  if (!path) return NULL;
  element->api->attributeUtf16(element, "location", path, (size_t)length + 1);
  FILE* file = _wfopen((const wchar_t*)path, L"wb");
  free(path);
  return file;
}
#else
static FILE* openLocation(OrvElement* element) {
  char* path = attribute(element, "location");
  FILE* file = path && *path ? fopen(path, "wb") : NULL;
  free(path);
  return file;
}
#endif

ORV_PLUGIN_EXPORT intptr_t WriteFileTag(OrvElement* element) {
  const OrvHostApi* api = element->api;
  char* text = attribute(element, "text");
  FILE* file = openLocation(element);
  if (!file) {
    api->log(element, "ERR+1", "WRITEFILE : impossible d'ouvrir le fichier (attribut location).");
    free(text);
    return 0;
  }
  size_t size = text ? strlen(text) : 0;
  int written = fwrite(text ? text : "", 1, size, file) == size;
  written = fclose(file) == 0 && written;
  free(text);
  char line[64];
  snprintf(line, sizeof line, "%u", (unsigned)size);
  api->setMemo(element, "writefile.bytes", line);
  snprintf(line, sizeof line, "WRITEFILE : %u octets écrits.", (unsigned)size);
  api->log(element, written ? "+1" : "ERR+1", line);
  return written ? 1 : 0;
}

ORV_PLUGIN_EXPORT intptr_t FailTag(OrvElement* element) {
  char path[512];
  element->api->path(element, path, sizeof path);
  char* reason = attribute(element, "reason");
  char line[1024];
  snprintf(line, sizeof line, "FAILTAG : échec demandé en %s (%s).", path, reason ? reason : "sans raison");
  free(reason);
  element->api->log(element, "ERR+1", line);
  return 0;
}
