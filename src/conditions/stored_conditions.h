// CHECK conditions on what earlier directives left: EXEC and LIB return
// codes, action states, memos, dialog answers and command-line parameters.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace orv {

struct Engine;

// A value list: leading and trailing commas removed, one appended, then the
// texts between commas ("a,,b" gives a, an empty item and b).
std::vector<std::string> valueList(const std::string& value, std::string* listText = nullptr);
// The answer code of a text (yes 6, no 7, ok 1, cancel 2, continue 11, retry 10; else its number, 8 bits).
int8_t answerCode(const std::string& text);
// The name of an answer code for the log ("Yes", "No", ...; "-" otherwise).
std::string answerName(int64_t code);
// The action state of a text: true 1, false 0, ignored -2, anything else 0.
int8_t actionStateCode(const std::string& text);

int checkExecResult(Engine& engine, const std::string& name, const std::string& value,
                    const std::string& mode);
int checkLibResult(Engine& engine, const std::string& name, const std::string& value,
                   const std::string& mode);
int checkActionState(Engine& engine, const std::string& name, const std::string& value,
                     const std::string& mode);
int checkMemo(Engine& engine, const std::string& name, const std::string& value, const std::string& mode,
              bool hasValue);
int checkMsgboxAnswer(Engine& engine, const std::string& name, const std::string& value,
                      const std::string& mode);
int checkParameter(Engine& engine, const std::string& name, const std::string& value,
                   const std::string& mode);

}  // namespace orv
