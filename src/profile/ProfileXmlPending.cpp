// Placeholder until the XML profile reader lands: such files end with a clear error.
#include "common/Errors.h"
#include "profile/Kel.h"

namespace kel {

void TKel::ReadXmlFile(const std::string& fileName) {
    throw EFileError("\"" + fileName + "\" is not a legacy profile; XML profiles cannot be read yet");
}

void TKel::ReadZipFile(const std::string& fileName) {
    throw EFileError("\"" + fileName + "\" is a zipped profile; zipped profiles cannot be read yet");
}

}  // namespace kel
