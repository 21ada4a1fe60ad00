#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>

#include "general/common/MCommandMessage.h"

namespace {

namespace wire = OrbanelGeneral10::wire;

// The marker search skips ahead word by word and then with memchr; it must
// agree with a plain search wherever the marker, its decoys and its key fall.
TEST(WireFind, AgreesWithAPlainSearch) {
    const std::string alphabet = std::string("+3!G)_s?<&h,ab") + '\0' + '\x80' + '\xff' + '\x2b';
    std::mt19937 rng(3);
    for (const wire::Marker* marker : {&wire::kEndMarker, &wire::kParameterMarker,
                                       &wire::kSessionMarker, &wire::kParameterListMarker}) {
        for (size_t length = 0; length <= 200; ++length) {
            std::string text(length, 'a');
            for (char& c : text) c = alphabet[rng() % alphabet.size()];
            const std::string_view view(text);
            for (size_t from = 0; from <= length + 1; ++from)
                ASSERT_EQ(wire::Find(view, *marker, from), view.find(marker->text, from))
                    << marker->text << " in " << length << " bytes from " << from;
        }
    }
}

}  // namespace
