#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The program's help: topics of paragraphs read from a text source of our own, written in the
// platform's classic help file format (an internal file system holding the system record, the
// topic blocks, the font table, the context-name hashes and the numeric context map).

struct THelpSpan {
  std::string Text;
  std::string Link;  // context name of the topic a click opens; empty for plain text
};

struct THelpTopic {
  std::string Context;  // context name, unique in the file
  std::string Title;    // shown as the topic's heading
  std::vector<std::uint32_t> MapNumbers;  // numeric contexts the program asks for
  std::vector<std::vector<THelpSpan>> Paragraphs;
};

struct THelpDocument {
  std::string Title;
  std::vector<THelpTopic> Topics;  // the first is the contents page
};

// The source: lines starting with "#" are comments; ".title TEXT" names the file; ".topic NAME
// TITLE" starts a topic; ".map NUMBER" gives the current topic a numeric context; other lines are
// text, a blank line ending a paragraph; "[[NAME|text]]" in a text is a link to topic NAME.
// Raises std::runtime_error naming the line for text outside a topic, a link or context name that
// does not exist or repeats, or a bad number.
THelpDocument ParseHelpSource(std::string_view source);

// The help file's bytes. Raises std::runtime_error for a paragraph too long for one topic block.
std::vector<std::uint8_t> WriteHelpFile(const THelpDocument& document);

// The hash under which a context name is looked up (letters without case, digits, "." and "_").
std::int32_t HelpContextHash(std::string_view name);
