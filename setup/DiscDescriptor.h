// The disc's descriptor "setup.inf" in the disc root: the program version on the disc, the
// space an installation needs and the editions it holds.
//
//   [Main]  SubVersion (integer, 0)  Size (megabytes, 700)  Count (editions, 0)
//   [1] .. [Count]  Title ("Заголовок 1")  Title2 ("")  RegKey ("empty")
//
// Read by the ini rules of the edition descriptor; texts are code page 1251.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quarto {

struct TDiscEdition {
    std::string Title;  // 1251
    std::string Title2; // 1251
    std::string RegKey; // 1251; the edition's folder under "Books"
    // False when the descriptor names the edition in Count but has no section for it: the
    // defaults stand in, and the edition cannot be installed.
    bool SectionPresent = true;
};

// How the descriptor was found.
enum class TDescriptorState {
    Read,       // read (keys it lacks take their defaults)
    Missing,    // no "setup.inf" in the disc root
    Unreadable, // there, but it cannot be read
};

// Editions read at most from a descriptor.
inline constexpr std::int32_t MaxDiscEditions = 1000;

struct TDiscDescriptor {
    TDescriptorState State = TDescriptorState::Read;
    std::int32_t SubVersion = 0;
    std::int32_t RequiredMB = 700;      // a negative "Size" counts as 0
    std::vector<TDiscEdition> Editions; // sections "1" to Count, in order
};

// Reads sourceFolder's "setup.inf" (name matched ignoring case); a missing key gives its
// default, a missing or unreadable file the defaults with State telling which.
TDiscDescriptor ReadDiscDescriptor(const std::string& sourceFolder);
// The descriptor's ini text (CR LF lines).
std::string DiscDescriptorText(const TDiscDescriptor& disc);

} // namespace quarto
