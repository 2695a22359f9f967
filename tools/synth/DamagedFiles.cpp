#include "synth/DamagedFiles.h"

#include <cstdint>
#include <filesystem>
#include <system_error>

#include "common/Errors.h"
#include "profile/ProfileLimits.h"
#include "synth/LegacyWriter.h"

namespace kel::synth {

namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

}  // namespace

const std::vector<TDamage>& AllDamages() {
    static const std::vector<TDamage> all = {TDamage::XmlWithoutDate, TDamage::ZipWithoutMember,
                                             TDamage::HugeWithoutDate};
    return all;
}

void WriteDamagedProfile(const std::string& path, TDamage damage) {
    switch (damage) {
        case TDamage::XmlWithoutDate:
            WriteBytes(path, Bytes("<kel><ion>H3O+</ion><reactant>breath</reactant></kel>"));
            return;
        case TDamage::ZipWithoutMember:
            // "PK" and an end-of-archive record's signature, nothing else.
            WriteBytes(path, Bytes(std::string("PK\x05\x06", 4) + std::string(18, '\0')));
            return;
        case TDamage::HugeWithoutDate: {
            WriteBytes(path, {});
            // A hole costs no disk: one byte more than the largest profile text.
            std::error_code error;
            std::filesystem::resize_file(path, limits::kLargestText + 1, error);
            if (error) throw EFileError("Cannot grow \"" + path + "\": " + error.message());
            return;
        }
    }
}

}  // namespace kel::synth
