#include "sysops/screenshot.h"

#include "engine/directive.h"
#include "engine/engine.h"
#include "engine/expand.h"
#include "engine/os_error_line.h"
#include "engine/text_util.h"
#include "platform/image_write.h"
#include "platform/screen.h"

namespace orv {

namespace {

// JPEG quality when the element gives no ratio: the encoder's usual default,
// rather than the smallest and blurriest file.
constexpr int kDefaultJpegQuality = 75;

struct CaptureRequest {
  std::string filepath;
  bool wholeScreen = true;
  screen::Rect rect;
  ImageFormat format = ImageFormat::Jpeg;
  int quality = kDefaultJpegQuality;
};

ImageFormat formatOf(const std::string& type) {
  if (type == "bmp") return ImageFormat::Bmp;
  if (type == "png") return ImageFormat::Png;
  return ImageFormat::Jpeg;
}

CaptureRequest readRequest(Engine& engine, const AttributeMap& attrs) {
  CaptureRequest r;
  r.filepath = expandAttribute(engine, attrs.get("filepath"), {.separators = "#"});
  r.wholeScreen = toLower(firstChars(attrs.get("mode"), 10)) != "size";
  r.rect.left = numberValue(attrs.get("widthposition"));
  r.rect.top = numberValue(attrs.get("heightposition"));
  r.rect.width = numberValue(attrs.get("width"));
  r.rect.height = numberValue(attrs.get("height"));
  r.format = formatOf(toLower(firstChars(attrs.get("type"), 10)));
  if (attrs.has("ratio")) r.quality = jpegQualityOfRatio(numberValue(attrs.get("ratio")));
  return r;
}

// Takes the picture; logs the two capture lines (and why it failed).
bool takePicture(Engine& engine, const CaptureRequest& r, Picture& picture) {
  sys::OsError error;
  screen::Outcome outcome =
      r.wholeScreen ? screen::captureScreen(picture, error) : screen::captureRect(r.rect, picture, error);
  bool taken = outcome == screen::Outcome::Captured;
  std::string code = taken ? "1" : "0";
  engine.log("Retour de l'execution de la capture : " + code, "+1");
  if (outcome == screen::Outcome::BadRectangle)
    engine.log("Zone de capture vide, trop grande ou entièrement hors de l'écran : " + decimal(r.rect.left) +
                   "," + decimal(r.rect.top) + " " + decimal(r.rect.width) + "x" + decimal(r.rect.height),
               "ERR+2");
  else if (outcome == screen::Outcome::Failed)
    engine.log(osErrorText(error), "ERR+2");
  engine.log("Sauvegarde de l'image capturée : " + code, "+1");
  return taken;
}

int64_t captureBody(Engine& engine, const DirectiveNode&, const AttributeMap& attrs) {
  CaptureRequest request = readRequest(engine, attrs);
  Picture picture;
  bool saved = false;
  sys::OsError error;
  if (takePicture(engine, request, picture))
    saved = writePicture(request.filepath, picture, request.format, request.quality, error);
  engine.log(std::string("Retour de l'enregistrement du fichier : ") + (saved ? "1" : "0"), "+1");
  if (!saved && !error.call.empty()) engine.log(osErrorText(error), "ERR+2");
  return saved ? 1 : 0;
}

}  // namespace

int64_t runScreenshot(Engine& engine, const DirectiveNode& node) {
  return runDirective(engine, node, "CATCH", captureBody);
}

}  // namespace orv
