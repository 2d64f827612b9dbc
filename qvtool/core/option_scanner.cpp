#include "option_scanner.h"

#include <cstring>

namespace qv::qvtool {

OptionScanner::OptionScanner(int argc, const char* const* argv, const char* optionLetters,
                             std::string* errorText)
    : argc_(argc < 0 ? 0 : argc), argv_(argv), letters_(optionLetters), errorText_(errorText) {}

void OptionScanner::Report(const char* what, char letter) {
    const char* name = (argc_ > 0 && argv_[0] != nullptr) ? argv_[0] : "";
    *errorText_ += name;
    *errorText_ += ": ";
    *errorText_ += what;
    *errorText_ += " -- ";
    *errorText_ += letter;
    *errorText_ += '\n';
}

void OptionScanner::FinishWord() {
    ++word_;
    position_ = 0;
}

int OptionScanner::Next() {
    argument_ = nullptr;
    if (position_ == 0) {
        if (word_ >= argc_ || argv_[word_] == nullptr) return kEnd;
        const char* w = argv_[word_];
        if (w[0] != '-' || w[1] == '\0') return kEnd;
        if (std::strcmp(w, "--") == 0) {
            FinishWord();
            return kEnd;
        }
        position_ = 1;
    }
    const char* w = argv_[word_];
    const char letter = w[position_++];
    const char* entry = letter == ':' ? nullptr : std::strchr(letters_, letter);
    const bool wordDone = w[position_] == '\0';

    if (entry == nullptr) {
        if (wordDone) FinishWord();
        nextWord_ = word_;
        Report("illegal option", letter);
        return kError;
    }
    if (entry[1] != ':') {
        if (wordDone) FinishWord();
        nextWord_ = wordDone ? word_ : word_ + 1;
        return letter;
    }
    if (!wordDone) {
        argument_ = w + position_;
        FinishWord();
    } else if (word_ + 1 < argc_ && argv_[word_ + 1] != nullptr) {
        argument_ = argv_[word_ + 1];
        FinishWord();
        FinishWord();
    } else {
        FinishWord();
        nextWord_ = word_;
        Report("option requires an argument", letter);
        return kError;
    }
    nextWord_ = word_;
    return letter;
}

}  // namespace qv::qvtool
