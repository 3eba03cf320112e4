// The pinyin engine of libgooglepinyin (Debian's libgooglepinyin0), driven only in the ways that
// keep clear of its assertions.
//
// The library keeps its decoder, spelling table and language model in process-wide globals and
// is not thread-safe, so there is at most one open Decoder per process (`open` refuses a second)
// and every call must come from the thread that holds the interpreter's lock.
//
// What the engine does, and what this class makes of it:
//  * A composition is a run of letters a-z (either case; the engine folds them) and the syllable
//    separator '. The engine splits it into syllables ("nihao" -> "ni" "hao"); initials alone
//    stand for whole syllables ("zg" -> 中国). Letters it cannot read ("v" alone, "nihaoi") stay
//    in the composition undecoded, after the syllables.
//  * Candidate 0 is the engine's best sentence for the whole composition; the others are words
//    and characters for the syllables at the start of what is not yet chosen, best first.
//  * Choosing a candidate that covers only the first syllables fixes it: the candidates then
//    continue from the next syllable, and the composition reads "你hao". A choice that reaches
//    the end commits the whole text.
//  * The engine learns: when a committed text was composed from pieces that were not its first
//    guess, it adds the phrase to its user dictionary, and the phrase ranks higher each time it
//    is chosen again. Words of the system dictionary keep their rank.
//
// Where the engine fails, and how this class keeps away from it:
//  * Its parse tables are fixed in size and it aborts when they run out: fourteen initials in a
//    row ("zzzzzzzzzzzzzz") are enough. Its Android original stopped at nine syllables; so does
//    this class, growing a composition one letter at a time so that the engine never sees a
//    string whose shorter prefixes already had more (a prefix costs it no more than the whole).
//    Letters past `max_syllables` or `max_letters` are dropped.
//  * Its incremental search, its reading of syllable positions after a choice, and a second
//    choice of a word of several characters all trip assertions on ordinary input. So every
//    search starts afresh, positions are read right after the search only, and after the first
//    choice the engine is given only single characters (or its whole sentence). A longer word
//    chosen later is fixed here instead, and the engine starts afresh on the letters after it
//    (it then learns nothing from that composition).
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pinyin {

class Decoder {
public:
    // The most letters and syllables a composition holds; `search` drops the letters past them.
    static const std::size_t max_letters;
    static const std::size_t max_syllables;

    // True for the letters a composition may hold.
    static bool is_letter(char c);

    // True while a Decoder is open in this process.
    static bool in_use();

    // Opens the engine on its system dictionary and a user dictionary file (which it creates or
    // rewrites when it is not a valid one). Null when the system dictionary does not load.
    // `temporary`: the user dictionary file is removed when the decoder closes.
    static std::unique_ptr<Decoder> open(const std::string& system_dictionary,
                                         const std::string& user_dictionary, bool temporary);
    // Closes the engine, which writes what it learnt back to the user dictionary file.
    ~Decoder();
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    // Composes `letters` (each one `is_letter`) within the limits, keeping the earlier partial
    // choices that lie in the letters left unchanged.
    void search(const std::string& letters);
    void reset();
    // Writes what the engine learnt to the user dictionary file (between compositions).
    void flush();

    std::size_t count() const { return count_; }
    // Candidate `index` (< count()).
    std::u16string candidate(std::size_t index) const;
    // Chooses candidate `index` (< count()): the committed text when the choice completes the
    // composition (which then restarts from any undecoded letters), else nothing.
    std::optional<std::u16string> choose(std::size_t index);

    const std::string& letters() const { return letters_; }
    // The text of the partial choices so far.
    std::u16string fixed() const;
    // The letters after the partial choices.
    std::string remaining() const;
    // What the user sees: the fixed text, then the remaining syllables separated by spaces, then
    // any undecoded letters as typed: "ni hao", "你hao", "ni hao v".
    std::u16string composition() const;

private:
    struct Choice {
        std::u16string text;
        std::size_t end;  // the position in letters_ where the chosen text ends
    };

    Decoder(const std::string& user_dictionary, bool temporary);
    static std::u16string texts(const std::vector<Choice>& choices);
    // Syllables of the engine's composition, and how many of them the engine has fixed.
    std::size_t syllables() const { return starts_.size() - 1; }
    std::size_t engine_fixed() const;
    // Where syllable `s` of the engine's composition starts in letters_.
    std::size_t start_of(std::size_t s) const { return base_ + starts_[s]; }
    void compose(std::size_t base, std::size_t known);
    void start_search(std::size_t length);
    void choose_again(const std::vector<Choice>& choices, std::size_t unchanged);
    bool engine_may_choose(std::size_t index, const std::u16string& text) const;
    std::u16string commit(const std::u16string& text);

    std::string user_dictionary_;
    bool temporary_;
    std::string letters_;
    // Choices fixed here, covering letters_ up to base_, where the engine's composition starts;
    // then the choices the engine holds in its composition.
    std::vector<Choice> own_;
    std::size_t base_ = 0;
    std::vector<Choice> held_;
    // Where each syllable of the engine's composition starts, relative to base_, then where the
    // last one ends, as the engine split them at the last search (choices do not move them).
    std::vector<std::size_t> starts_{0};
    std::size_t count_ = 0;
};

}  // namespace pinyin
