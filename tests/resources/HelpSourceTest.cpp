#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

#include "resources/help/HelpFile.h"

// The user guide's source: what it builds, and the mistakes that would leave a dead link or a
// context the viewer cannot tell apart, refused with the line that holds them.
TEST(HelpSource, TopicsParagraphsAndLinks) {
  const THelpDocument document = ParseHelpSource(
      "# comment\n.title Guide\n.topic contents Contents\nSee [[main|the main\nwindow]] first.\n\n"
      "Second.\r\n.topic main Main window\n.map 11\n.map 12\nText.\n");
  EXPECT_EQ(document.Title, "Guide");
  ASSERT_EQ(document.Topics.size(), 2u);
  ASSERT_EQ(document.Topics[0].Paragraphs.size(), 2u);
  const auto& first = document.Topics[0].Paragraphs[0];
  ASSERT_EQ(first.size(), 3u);
  EXPECT_EQ(first[0].Text, "See ");
  EXPECT_EQ(first[1].Text, "the main window");
  EXPECT_EQ(first[1].Link, "main");
  EXPECT_EQ(first[2].Text, " first.");
  EXPECT_EQ(document.Topics[0].Paragraphs[1][0].Text, "Second.");
  EXPECT_EQ(document.Topics[1].Title, "Main window");
  EXPECT_EQ(document.Topics[1].MapNumbers, (std::vector<std::uint32_t>{11, 12}));
}

TEST(HelpSource, MistakesNameTheirLine) {
  const struct {
    const char* Source;
    const char* Line;
  } bad[] = {{"text before a topic\n", "line 1"},
             {".topic a A\n\nSee [[b|B]].\n", "line 3"},
             {".topic a A\n.topic a Again\n", "line 2"},
             {".topic a A\n.map 11\n.topic b B\n.map 11\n", "line 4"},
             {".topic a A\n.map eleven\n", "line 2"},
             {".topic a A\nSee [[a no bar]].\n", "line 2"},
             {".topic A.B A\n.topic a.b Same hash\n", "line 2"},
             {".topic a A\n.unknown\n", "line 2"}};
  for (const auto& b : bad) {
    try {
      ParseHelpSource(b.Source);
      ADD_FAILURE() << "accepted: " << b.Source;
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(std::string(e.what()).rfind(b.Line, 0), 0u) << e.what();
    }
  }
}

TEST(HelpSource, ContextHashIgnoresCaseAndOtherCharacters) {
  EXPECT_EQ(HelpContextHash("Main_Window.2"), HelpContextHash("main_window.2"));
  EXPECT_EQ(HelpContextHash("a-b"), HelpContextHash("ab"));
  EXPECT_NE(HelpContextHash("ab"), HelpContextHash("ba"));
  EXPECT_NE(HelpContextHash("a0"), HelpContextHash("a"));
}

// The program's own guide tells where the split writes: the current folder, which a file dialog
// changes, not the superfile's folder as such.
TEST(HelpSource, TheGuideSaysTheSplitWritesToTheCurrentFolder) {
  std::ifstream in(TARVEX_HELP_SOURCE, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  const THelpDocument document = ParseHelpSource(text.str());
  std::string source;
  for (const THelpTopic& topic : document.Topics)
    if (topic.Context == "source")
      for (const auto& paragraph : topic.Paragraphs)
        for (const THelpSpan& span : paragraph) source += span.Text;
  ASSERT_FALSE(source.empty());
  EXPECT_NE(source.find("into the current folder"), std::string::npos) << source;
  EXPECT_EQ(source.find("beside it"), std::string::npos) << source;
}
