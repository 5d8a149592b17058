#pragma once

#include <string>
#include <vector>

/// The entries of an Addfiles or Exclfiles list ("a;b;"): read one by one up to the first empty
/// entry, so entries after two separators in a row are never read.
std::vector<std::string> MaskEntries(const std::string& list);

/// The include masks of Addfiles, trimmed; "*.*" when the list is blank.
std::vector<std::string> IncludeMasks(const std::string& addfiles);

/// Whether a file name matches an include mask as the file search does: "*" and "?" without
/// regard to case, and a mask ending in ".*" (such as "*.*") also matches a name without a dot.
bool MatchesSearchMask(const std::string& name, const std::string& mask);

/// The exclusion test of a file name: name part and extension part (the text between the
/// first and the second dot) each matched by MatchMask, without regard to case.
bool MatchFileMask(const std::string& name, const std::string& mask);

/// One part of an exclusion mask: equal texts match; "?" matches any character; the first "*"
/// ends the comparison with the result so far.
bool MatchMask(const std::string& text, const std::string& mask);
