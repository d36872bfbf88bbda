// libcurl is loaded on the first call of one of its functions instead of at
// start-up: with the libraries it pulls in (some thirty, TLS, Kerberos, LDAP…)
// loading and relocating it cost several times the rest of a run's start, and
// most runs never touch the network. These definitions stand for the library's
// own and forward to it; when it cannot be loaded they fail the way libcurl
// reports a failed initialisation, so HTTP and MAIL take their failure path.
#include <curl/curl.h>
#include <dlfcn.h>

#include <cstdarg>

namespace {

void* library() {
  static void* const handle = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
  return handle;
}

template <typename F>
F resolve(const char* name) {
  void* handle = library();
  return handle ? reinterpret_cast<F>(dlsym(handle, name)) : nullptr;
}

}  // namespace

// A function of libcurl forwarded to the loaded library, `fail` when it is absent.
#define ORV_CURL_FORWARD(ret, name, params, args, fail)      \
  ret name params {                                          \
    static const auto f = resolve<decltype(&::name)>(#name); \
    return f ? f args : fail;                                \
  }
// The same for a function returning nothing.
#define ORV_CURL_FORWARD_VOID(name, params, args)            \
  void name params {                                         \
    static const auto f = resolve<decltype(&::name)>(#name); \
    if (f) f args;                                           \
  }

extern "C" {

ORV_CURL_FORWARD(CURLcode, curl_global_init, (long flags), (flags), CURLE_FAILED_INIT)
ORV_CURL_FORWARD(CURL*, curl_easy_init, (void), (), nullptr)
ORV_CURL_FORWARD(CURLcode, curl_easy_perform, (CURL * curl), (curl), CURLE_FAILED_INIT)
ORV_CURL_FORWARD_VOID(curl_easy_cleanup, (CURL * curl), (curl))
ORV_CURL_FORWARD(const char*, curl_easy_strerror, (CURLcode code), (code), "libcurl unavailable")
ORV_CURL_FORWARD(curl_slist*, curl_slist_append, (curl_slist * list, const char* data), (list, data), nullptr)
ORV_CURL_FORWARD_VOID(curl_slist_free_all, (curl_slist * list), (list))
ORV_CURL_FORWARD_VOID(curl_free, (void* p), (p))
ORV_CURL_FORWARD(CURLU*, curl_url, (void), (), nullptr)
ORV_CURL_FORWARD_VOID(curl_url_cleanup, (CURLU * handle), (handle))
ORV_CURL_FORWARD(CURLUcode, curl_url_set,
                 (CURLU * handle, CURLUPart what, const char* part, unsigned int flags),
                 (handle, what, part, flags), CURLUE_OUT_OF_MEMORY)
ORV_CURL_FORWARD(CURLUcode, curl_url_get, (CURLU * handle, CURLUPart what, char** part, unsigned int flags),
                 (handle, what, part, flags), CURLUE_OUT_OF_MEMORY)
ORV_CURL_FORWARD(curl_mime*, curl_mime_init, (CURL * easy), (easy), nullptr)
ORV_CURL_FORWARD_VOID(curl_mime_free, (curl_mime * mime), (mime))
ORV_CURL_FORWARD(curl_mimepart*, curl_mime_addpart, (curl_mime * mime), (mime), nullptr)
ORV_CURL_FORWARD(CURLcode, curl_mime_data, (curl_mimepart * part, const char* data, size_t size),
                 (part, data, size), CURLE_FAILED_INIT)
ORV_CURL_FORWARD(CURLcode, curl_mime_type, (curl_mimepart * part, const char* type), (part, type),
                 CURLE_FAILED_INIT)
ORV_CURL_FORWARD(CURLcode, curl_mime_encoder, (curl_mimepart * part, const char* encoding), (part, encoding),
                 CURLE_FAILED_INIT)
ORV_CURL_FORWARD(CURLcode, curl_mime_headers, (curl_mimepart * part, curl_slist* headers, int take),
                 (part, headers, take), CURLE_FAILED_INIT)
ORV_CURL_FORWARD(curl_version_info_data*, curl_version_info, (CURLversion age), (age), nullptr)

// libcurl declares both functions with an enum before the "...": its
// underlying type is int-sized, so va_start is sound; clang warns regardless.
#ifdef __clang__
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wvarargs"
#endif

// The option's type is told by its number's range; the argument is read as that type.
CURLcode curl_easy_setopt(CURL* curl, CURLoption option, ...) {
  static const auto f = resolve<decltype(&::curl_easy_setopt)>("curl_easy_setopt");
  if (!f) return CURLE_FAILED_INIT;
  va_list ap;
  va_start(ap, option);
  CURLcode rc;
  if (option < CURLOPTTYPE_OBJECTPOINT)
    rc = f(curl, option, va_arg(ap, long));
  else if (option >= CURLOPTTYPE_OFF_T && option < CURLOPTTYPE_BLOB)
    rc = f(curl, option, va_arg(ap, curl_off_t));
  else
    rc = f(curl, option, va_arg(ap, void*));  // data, function and blob pointers
  va_end(ap);
  return rc;
}

// Every piece of information is written through a pointer.
CURLcode curl_easy_getinfo(CURL* curl, CURLINFO info, ...) {
  static const auto f = resolve<decltype(&::curl_easy_getinfo)>("curl_easy_getinfo");
  if (!f) return CURLE_FAILED_INIT;
  va_list ap;
  va_start(ap, info);
  CURLcode rc = f(curl, info, va_arg(ap, void*));
  va_end(ap);
  return rc;
}

#ifdef __clang__
#pragma clang diagnostic pop
#endif

}  // extern "C"
