// ImportedSpectrum: an EMSA/MAS file imported through the module's own Zor_EMSAtoDM, as a
// script would import it, for the sub-commands that evaluate spectra.
//
// The image belongs to the returned ObjectRef (one reference, released with it). Throws
// ScriptError when the import raises an error, and std::runtime_error when the file gave no
// channels (it could not be opened, or holds no data); the import's own Results-window
// line about the file has then already gone to the session's Results output.
#ifndef XRAY_CLI_IMPORTEDSPECTRUM_H
#define XRAY_CLI_IMPORTEDSPECTRUM_H

#include <string>

#include "cli/Session.h"

namespace xrayutils {

dmhost::ObjectRef ImportSpectrumFile(Session& session, const std::string& path);

}  // namespace xrayutils

#endif  // XRAY_CLI_IMPORTEDSPECTRUM_H
