#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pq {
class ExpressionEngine;
}

namespace pq::calc {

// One of the user's own functions: a declaration such as "MyFunction(x)", a
// formula such as "x * 2" and a name path "Category\Name". The texts stay
// as the user typed them; the engine keeps its own lower-cased copies.
struct UserFunction {
    std::u16string declaration;
    std::u16string formula;
    std::u16string name;
    int paramCount = 0;
    bool isNew = false; // never yet stored in the list
};

using UserFunctionList = std::vector<UserFunction>;

// The functions file holds the count, then per function its name,
// declaration and formula, and a reserved 0. Integers are 32-bit
// little-endian; a text is its 32-bit count of UTF-16 units followed by
// the units, little-endian.
std::string EncodeFunctionFile(const UserFunctionList& functions);

// Reads the records of a functions file. The records read before any damage
// are kept in `functions` (their parameter count unset); false when the
// bytes end early, announce more than they hold or carry bytes past the end.
bool DecodeFunctionFile(std::string_view bytes, UserFunctionList& functions);

// Registers decoded records with the engine and keeps those it accepts,
// with their parameter count; records that no longer parse, or name a
// built-in or an existing definition, are dropped. Returns how many were
// dropped.
int RegisterFunctions(ExpressionEngine& engine, UserFunctionList& functions);

// The part of a declaration before its first "(": the name it is called by.
std::u16string CallName(std::u16string_view declaration);

// Reading and writing the file itself.
enum class FileStatus {
    Ok,
    Missing,   // no such file: no functions, nothing to report
    NotAFile,  // a folder, a device or a pipe
    TooLarge,  // larger than kMaxFunctionFileSize
    ReadError, // the system reported an error
};

constexpr size_t kMaxFunctionFileSize = 4 * 1024 * 1024;

// Opens without waiting (a pipe or device never blocks the program), reads
// only regular files up to the size limit.
FileStatus ReadFunctionFile(const std::string& path, std::string& bytes);

// Writes a temporary file beside the target and renames it over the target
// once every byte is on disk, so a failed save leaves the old file as it
// was. On failure `error` holds the system's reason.
bool WriteFunctionFile(const std::string& path, std::string_view bytes, std::string& error);

} // namespace pq::calc
