// The attribute error texts shared by the conditions and by the WAIT, MEMO
// and SESSION directives.
#pragma once
#include <string>

namespace orv {

// Codes of the attribute error table.
enum AttributeError : int {
  kErrValue = 1,        // the value attribute is missing or malformed
  kErrType = 2,         // the type attribute is missing or malformed
  kErrMode = 3,         // the mode attribute is missing or malformed
  kErrInternal = 4,     // internal failure
  kErrMissingArgs = 5,  // arguments missing for the test
};

// The text of an attribute error code; empty text for any other code.
std::string attributeErrorText(int code);

}  // namespace orv
