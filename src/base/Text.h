#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Text is UTF-8 throughout the program. Files from older installations were written in
// Windows-1252; DecodeStoredText turns such bytes into UTF-8 so that names and paths with
// umlauts survive.

bool IsValidUtf8(std::string_view bytes);
/// The length of the UTF-8 sequence that starts at text[i], or 0 when the bytes there are not a
/// valid one (overlong forms, surrogates and code points beyond U+10FFFF are not).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i);
std::string Cp1252ToUtf8(std::string_view bytes);
/// UTF-8 input as it is (without a leading byte-order mark); anything else read as Windows-1252.
std::string DecodeStoredText(std::string_view bytes);
/// The lines of a stored text, each decoded on its own: one line in Windows-1252 among UTF-8
/// ones (a file older installations wrote to) leaves every other line as it is.
std::vector<std::string> DecodeStoredLines(std::string_view bytes);
/// A line for a report that is valid UTF-8 and stays one line: bytes that are not UTF-8 and
/// control characters (but the tab) are written as "\xHH", CR and LF as "\r" and "\n", so no
/// file name can break or forge a line. A backslash stays as it is: it separates the folders of
/// a path on Windows.
std::string EscapeReportLine(std::string_view line);

/// Any bytes as one field of a line of tab-separated fields (a backslash, line break or tab
/// written as \\, \n, \r, \t), and back.
std::string EscapeField(std::string_view text);
std::string UnescapeField(std::string_view field);

/// Removes blanks and control characters (everything up to U+0020) at both ends.
std::string Trim(std::string_view text);
/// Upper case for the letters of the Latin, Greek and Cyrillic alphabets; byte length is kept.
std::string UpperCase(std::string_view text);
/// ASCII letters in lower case; other characters as they are.
std::string LowerCaseAscii(std::string text);
/// Equal without regard to case, as names are compared.
bool SameText(std::string_view a, std::string_view b);
/// Position of needle in haystack at or after from, ASCII letters compared without case.
std::size_t FindNoCase(std::string_view haystack, std::string_view needle, std::size_t from = 0);

/// Number of characters (code points) of UTF-8 text.
std::size_t CharCount(std::string_view text);
/// The first count characters of UTF-8 text (never splits a character).
std::string CutToChars(std::string_view text, std::size_t count);

/// Splits at CR LF, LF or CR; a line end at the very end does not start another line.
std::vector<std::string> SplitLines(std::string_view text);

/// A decimal integer: an optional sign and at least one digit, nothing else, within the range.
bool ParseInteger(std::string_view text, long long minimum, long long maximum, long long& result);

/// Lines as one comma-separated text: a line with a blank, a comma or a double quote is put in
/// double quotes (inner quotes doubled); a single empty line gives two double quotes.
std::string JoinCommaText(const std::vector<std::string>& lines);
/// The reverse: split at commas and at blanks outside quotes, the quoting removed.
std::vector<std::string> SplitCommaText(std::string_view text);
