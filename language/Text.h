#pragma once

// Texts of the plain C++ layers (settings, monitoring, commands, events, maintenance) in the
// language the operator chose.
//
// A text is marked where it is written, so that lupdate collects it into the translation
// file, and translated where it is used:
//
//     const char* const kWriteDoneMessage = QT_TRANSLATE_NOOP("MotorProtector", "数据写入成功...");
//     ...
//     Show(mp::Tr(kWriteDoneMessage));
//
// The source texts are the program's Chinese texts; without a translator installed (the
// Chinese window, every unit test) mp::Tr gives them back unchanged.

#include <initializer_list>
#include <string>

#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, x) x
#endif

namespace mp {

// The one translation context of the plain C++ texts.
inline constexpr char kTextContext[] = "MotorProtector";

// Translates `source` of `context`; installed once by the application before any I/O starts.
using TextTranslator = std::string (*)(const char* context, const char* source);
void SetTextTranslator(TextTranslator translator);

// `source` (a text marked with QT_TRANSLATE_NOOP("MotorProtector", ...)) in the current
// language.
std::string Tr(const char* source);

// `pattern` with %1 .. %9 replaced by `args`, as QString::arg does; a marker without an
// argument stays as it is.
std::string FillIn(const std::string& pattern, std::initializer_list<std::string> args);

}  // namespace mp
