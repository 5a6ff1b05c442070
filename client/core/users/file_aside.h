#pragma once
// Files of the client that did not read whole are never written into: writing would lose what stood
// after the damage, and refusing to write would lose every later change. Such a file is kept beside
// itself under a name not yet taken ("NAME.damaged-1", "-2", ...) and a fresh one takes its place.

#include <optional>
#include <string>
#include <string_view>

#include "common/xml/xml_document.h"

// Renames the file at path to the first free "PATH.damaged-N" and lays fresh down in its place,
// readable by its owner only. The copy's path, or nothing when either step failed.
std::optional<std::string> SetFileAside(const std::string& path, std::string_view fresh);

// What can be read of a list file (root element root) that was cut short: the longest prefix of the
// file at path that ends with itemEnd and reads whole once the root is closed after it. Nothing
// when no such prefix is found among the last few items.
std::optional<XmlDocument> ReadBeforeDamage(const std::string& path, std::string_view itemEnd, std::string_view root);
