// The README lists every message the programs can show. Every text literal
// of the programs' sources that reads like a message must appear in it:
// literals are found by the lexical rules that matter here (comments and
// character literals skipped, adjacent literals joined), and printf
// conversions cut a literal into the pieces that must appear (the README
// writes a number as N and a text as a word in capitals).
#include <gtest/gtest.h>

#include <ctype.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path Top = GV_SOURCE_DIR;

// Sources of the two programs.
const char *const ProgramDirs[] = {"monopen", "notify", "common"};

// Files there that are not part of the delivered programs.
const std::set<std::string> NotInPrograms = {
    "reqdecode.cpp", // the request decoder of basesim
    "faults.cpp",    // failures of notify's test build
};

// Literals with blanks that no user ever sees.
const std::set<std::string> NotMessages = {
    "-start -no_create_dir -no_info_dialog", // arguments of the service starter
    "-start -no_info_dialog",
    "RTD RVS", // heads of monitor requests
    "RTD XMON",
};

std::string ReadAll(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The string literals of a C++ source, adjacent ones joined, escapes read.
std::vector<std::string> StringLiterals(const std::string &source)
{
    std::vector<std::string> literals;
    bool joinNext = false; // only blanks since the last literal ended
    size_t i = 0;
    const size_t n = source.size();
    while (i < n) {
        char c = source[i];
        if (source.compare(i, 2, "//") == 0) {
            i = source.find('\n', i);
            if (i == std::string::npos)
                break;
            continue; // a line comment does not break a join: rare enough
        }
        if (source.compare(i, 2, "/*") == 0) {
            size_t end = source.find("*/", i + 2);
            i = end == std::string::npos ? n : end + 2;
            continue;
        }
        if (c == '\'') {
            for (i++; i < n && source[i] != '\''; i++)
                if (source[i] == '\\')
                    i++;
            i++;
            joinNext = false;
            continue;
        }
        if (c == '"') {
            std::string text;
            for (i++; i < n && source[i] != '"'; i++) {
                if (source[i] != '\\') {
                    text += source[i];
                    continue;
                }
                i++;
                char e = i < n ? source[i] : '\\';
                text += e == 'n' ? '\n' : e == 't' ? '\t' : e == '0' ? '\0' : e;
            }
            i++;
            if (joinNext && !literals.empty())
                literals.back() += text;
            else
                literals.push_back(text);
            joinNext = true;
            continue;
        }
        if (!isspace((unsigned char)c))
            joinNext = false;
        i++;
    }
    return literals;
}

// The parts of a literal between printf conversions that read like words
// of a message: at least two words, or a text that ends a sentence.
std::vector<std::string> MessagePieces(const std::string &literal)
{
    static const std::regex conversion("%[-+ #0-9.*]*(hh|h|ll|l|z)?[a-zA-Z%]");
    std::vector<std::string> pieces;
    std::sregex_token_iterator it(literal.begin(), literal.end(), conversion, -1), end;
    for (; it != end; ++it) {
        std::string piece = *it;
        size_t first = piece.find_first_not_of(" \n");
        size_t last = piece.find_last_not_of(" \n");
        if (first == std::string::npos)
            continue;
        piece = piece.substr(first, last - first + 1);
        bool words = piece.find(' ') != std::string::npos;
        bool sentence = isalpha((unsigned char)piece[0]) && piece.size() > 3 &&
                        (piece.back() == '.' || piece.back() == '!');
        if ((words || sentence) && NotMessages.count(piece) == 0)
            pieces.push_back(piece);
    }
    return pieces;
}

// The README with every run of white space made one blank.
std::string FlatReadme()
{
    std::string flat;
    for (char c : ReadAll(Top / "README.md")) {
        bool blank = isspace((unsigned char)c);
        if (!(blank && !flat.empty() && flat.back() == ' '))
            flat += blank ? ' ' : c;
    }
    return flat;
}

TEST(ReadmeCheck, ReadsLiteralsAsTheCompilerDoes)
{
    const std::string source = "// \"not this\"\n"
                               "/* \"nor this\" */ char q = '\"'; f(\"One two \"\n"
                               "  \"joined.\", \"%s (%lu).\", 'x', \"Next one\");\n"
                               "const char e[] = \"a \\\"quoted\\\" word\";";
    EXPECT_EQ((std::vector<std::string>{"One two joined.", "%s (%lu).", "Next one",
                                        "a \"quoted\" word"}),
              StringLiterals(source));
    EXPECT_EQ((std::vector<std::string>{"Could not request computer name!("}),
              MessagePieces("Could not request computer name!(%lu)"));
    EXPECT_EQ((std::vector<std::string>{"(Messages missing"}), MessagePieces("(Messages missing %u)"));
    EXPECT_EQ((std::vector<std::string>{"Trying..."}), MessagePieces("Trying..."));
    EXPECT_TRUE(MessagePieces("%s (%lu).").empty());
    EXPECT_TRUE(MessagePieces("LPT1:").empty());
}

TEST(ReadmeCheck, EveryMessageOfTheProgramsIsListed)
{
    const std::string readme = FlatReadme();
    ASSERT_GT(readme.size(), 1000u) << "README.md not found under " << Top;
    int checked = 0;
    for (const char *dir : ProgramDirs) {
        for (const fs::directory_entry &file : fs::recursive_directory_iterator(Top / dir)) {
            std::string name = file.path().filename().string();
            if (file.path().extension() != ".cpp" || NotInPrograms.count(name) != 0)
                continue;
            for (const std::string &literal : StringLiterals(ReadAll(file.path())))
                for (const std::string &piece : MessagePieces(literal)) {
                    checked++;
                    EXPECT_TRUE(readme.find(piece) != std::string::npos)
                        << dir << "/" << name << ": \"" << piece << "\" is not in README.md";
                }
        }
    }
    EXPECT_GT(checked, 60) << "too few messages found: is the source tree where it should be?";
}

} // namespace
