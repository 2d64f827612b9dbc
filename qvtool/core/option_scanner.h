// The option scanner: single-letter options after "-", arguments attached or in the next word,
// scanning ends at the first word that is not an option and after "--".
#pragma once

#include <string>

namespace qv::qvtool {

class OptionScanner {
  public:
    static constexpr int kEnd = -1;
    static constexpr int kError = '?';

    // optionLetters lists the accepted letters, each followed by ':' when it takes an argument.
    // Messages go to errorText, prefixed with the invocation name (the first word).
    OptionScanner(int argc, const char* const* argv, const char* optionLetters, std::string* errorText);

    // The next option letter, kError after reporting a bad option, or kEnd.
    int Next();
    // The argument of the option just returned (null for options without one).
    const char* Argument() const { return argument_; }
    // Index of the first word not taken by the option just returned: the word after its argument,
    // or after the word that holds it.
    int NextWordIndex() const { return nextWord_; }

  private:
    void Report(const char* what, char letter);
    void FinishWord();

    int argc_;
    const char* const* argv_;
    const char* letters_;
    std::string* errorText_;
    int word_ = 1;
    int position_ = 0;  // within argv_[word_]; 0 when the next word has not been started
    const char* argument_ = nullptr;
    int nextWord_ = 1;
};

}  // namespace qv::qvtool
