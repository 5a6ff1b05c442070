#pragma once
// The fixed write layout of XmlDocument: one item per line, CR LF line ends, indentation by depth.

#include <string>

class XmlElement;

// Appends element (at depth 0) and everything in it to out, without recursion.
void WriteXmlElement(const XmlElement& element, std::string& out);
