#include "WordListData.h"

#include "WordListConfig.h"

// The assembler puts the file's bytes into the program's read-only data as
// they are, so the list needs no conversion at build time and no file beside
// the program. The file name and the section come from the build.
__asm__(".section " VT_WORD_LIST_SECTION "\n"
        ".balign 16\n"
        ".global vt_word_list_begin\n"
        "vt_word_list_begin:\n"
        ".incbin \"" VT_WORD_LIST_FILE "\"\n"
        ".global vt_word_list_end\n"
        "vt_word_list_end:\n"
        ".byte 0\n"
        ".text\n");

extern "C" const char vt_word_list_begin[];
extern "C" const char vt_word_list_end[];

namespace words {

std::string_view WordListBytes() {
    return {vt_word_list_begin, static_cast<std::size_t>(vt_word_list_end - vt_word_list_begin)};
}

} // namespace words
