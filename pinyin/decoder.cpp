#include "decoder.hpp"

#include <pinyinime.h>

#include <algorithm>
#include <cstdio>

namespace pinyin {

namespace {

bool g_open = false;

// Candidate 0 is the sentence for the whole composition: at most one character per letter.
const std::size_t candidate_room = ime_pinyin::kMaxSearchSteps + 1;

std::size_t common_prefix(const std::string& a, const std::string& b) {
    const std::size_t n = std::min(a.size(), b.size());
    return std::mismatch(a.begin(), a.begin() + n, b.begin()).first - a.begin();
}

}  // namespace

const std::size_t Decoder::max_letters = ime_pinyin::kMaxSearchSteps - 1;
const std::size_t Decoder::max_syllables = 9;

bool Decoder::is_letter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '\'';
}

bool Decoder::in_use() { return g_open; }

std::unique_ptr<Decoder> Decoder::open(const std::string& system_dictionary,
                                       const std::string& user_dictionary, bool temporary) {
    // A failed open leaves the engine half made; closing it then would crash, and the next open
    // replaces it, so it is left as it is.
    if (!ime_pinyin::im_open_decoder(system_dictionary.c_str(), user_dictionary.c_str()))
        return nullptr;
    return std::unique_ptr<Decoder>(new Decoder(user_dictionary, temporary));
}

Decoder::Decoder(const std::string& user_dictionary, bool temporary)
    : user_dictionary_(user_dictionary), temporary_(temporary) {
    g_open = true;
}

Decoder::~Decoder() {
    ime_pinyin::im_close_decoder();
    g_open = false;
    if (temporary_) std::remove(user_dictionary_.c_str());
}

void Decoder::reset() {
    letters_.clear();
    own_.clear();
    base_ = 0;
    start_search(0);
}

void Decoder::flush() {
    reset();
    ime_pinyin::im_flush_cache();
}

void Decoder::search(const std::string& letters) {
    const std::string kept = letters.substr(0, max_letters);
    if (kept == letters_) return;
    const std::size_t unchanged = common_prefix(letters_, kept);
    const std::size_t old_base = base_;
    std::vector<Choice> held;
    held.swap(held_);
    letters_ = kept;
    // A choice of ours stays while its letters are unchanged and some letters follow it.
    while (!own_.empty() && (own_.back().end > unchanged || own_.back().end >= letters_.size()))
        own_.pop_back();
    const std::size_t base = own_.empty() ? 0 : own_.back().end;
    if (base != old_base) {
        compose(base, 0);
        return;
    }
    compose(base, unchanged > base ? unchanged - base : 0);
    choose_again(held, unchanged);
}

// Makes letters_ from `base` on the engine's composition, cutting letters_ at the syllable limit.
// The first `known` letters of it were composed before, with every prefix of them within the
// limit; the engine is never shown more than one letter past a prefix found within it.
void Decoder::compose(std::size_t base, std::size_t known) {
    base_ = base;
    const std::size_t total = letters_.size() - base;
    for (std::size_t length = std::min(known + 1, total);; ++length) {
        start_search(length);
        if (syllables() > max_syllables) {
            letters_.resize(base + length - 1);
            start_search(length - 1);
            return;
        }
        if (length >= total) return;
    }
}

// A fresh search of letters_[base_, base_ + length).
void Decoder::start_search(std::size_t length) {
    ime_pinyin::im_reset_search();
    held_.clear();
    starts_.assign(1, 0);
    count_ = 0;
    if (length == 0) return;
    const std::string letters = letters_.substr(base_, length);
    count_ = ime_pinyin::im_search(letters.c_str(), letters.size());
    const ime_pinyin::uint16* starts = nullptr;
    const std::size_t n = ime_pinyin::im_get_spl_start_pos(starts);
    if (n > 0) starts_.assign(starts, starts + n + 1);
}

// Chooses again, in order, the engine's earlier choices that lie within the unchanged letters
// and still are candidates where they were; stops at the first that is not.
void Decoder::choose_again(const std::vector<Choice>& choices, std::size_t unchanged) {
    for (const Choice& choice : choices) {
        const std::size_t end_syllable = engine_fixed() + choice.text.size();
        if (choice.end > unchanged || end_syllable >= syllables() ||
            start_of(end_syllable) != choice.end)
            return;
        std::size_t index = 1;  // 0 is the whole sentence
        while (index < count_ && candidate(index) != choice.text) ++index;
        if (index == count_) return;
        count_ = ime_pinyin::im_choose(index);
        held_.push_back(choice);
    }
}

std::u16string Decoder::candidate(std::size_t index) const {
    ime_pinyin::char16 text[candidate_room];
    if (index >= count_ || !ime_pinyin::im_get_candidate(index, text, candidate_room))
        return std::u16string();
    std::u16string result;
    for (const ime_pinyin::char16* c = text; *c; ++c) result.push_back(static_cast<char16_t>(*c));
    return result;
}

bool Decoder::engine_may_choose(std::size_t index, const std::u16string& text) const {
    return index == 0 || held_.empty() || text.size() == 1;
}

std::optional<std::u16string> Decoder::choose(std::size_t index) {
    const std::u16string text = candidate(index);
    // Candidate 0 is the engine's fixed text followed by its best rest.
    const std::u16string whole = (index == 0 ? texts(own_) : fixed()) + text;
    if (engine_may_choose(index, text)) {
        count_ = ime_pinyin::im_choose(index);
        if (engine_fixed() >= syllables()) return commit(whole);
        held_.push_back({text, start_of(engine_fixed())});
        return std::nullopt;
    }
    const std::size_t end_syllable = std::min(engine_fixed() + text.size(), syllables());
    if (end_syllable == syllables()) return commit(whole);
    own_.insert(own_.end(), held_.begin(), held_.end());
    own_.push_back({text, start_of(end_syllable)});
    compose(own_.back().end, 0);
    return std::nullopt;
}

// Ends the composition with `whole`; the undecoded letters start the next one.
std::u16string Decoder::commit(const std::u16string& whole) {
    const std::string undecoded = letters_.substr(start_of(syllables()));
    reset();
    letters_ = undecoded;
    compose(0, 0);
    return whole;
}

std::u16string Decoder::texts(const std::vector<Choice>& choices) {
    std::u16string all;
    for (const Choice& choice : choices) all += choice.text;
    return all;
}

std::size_t Decoder::engine_fixed() const {
    return std::min(ime_pinyin::im_get_fixed_len(), syllables());
}

std::u16string Decoder::fixed() const { return texts(own_) + texts(held_); }

std::string Decoder::remaining() const { return letters_.substr(start_of(engine_fixed())); }

std::u16string Decoder::composition() const {
    std::string words;
    const auto add = [&](std::string word) {
        word.erase(std::remove(word.begin(), word.end(), '\''), word.end());
        if (word.empty()) return;
        if (!words.empty()) words += ' ';
        words += word;
    };
    for (std::size_t s = engine_fixed(); s < syllables(); ++s)
        add(letters_.substr(start_of(s), starts_[s + 1] - starts_[s]));
    const std::string undecoded = letters_.substr(start_of(syllables()));
    if (!undecoded.empty()) words += (words.empty() ? "" : " ") + undecoded;
    std::u16string shown = fixed();
    shown.append(words.begin(), words.end());
    return shown;
}

}  // namespace pinyin
