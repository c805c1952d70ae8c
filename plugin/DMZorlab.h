// DMZorlab: the main object of the X-ray utilities module. Its Startup installs the script
// functions of the script-function table, in the table's order; Run, Cleanup and Shutdown do
// nothing. It holds nothing of its own beyond what
// every main object holds (PlugInMain.h). Startup throws what the host throws; the
// functions installed before a failure stay listed for shut-down to remove.
#ifndef XRAY_PLUGIN_DMZORLAB_H
#define XRAY_PLUGIN_DMZORLAB_H

#include "plugin/PlugInMain.h"

class DMZorlab : public Gatan::PlugIn::PlugInMain {
  public:
    void Startup() override;
    void Run() override {}
    void Cleanup() override {}
    void Shutdown() override {}
};

#endif  // XRAY_PLUGIN_DMZORLAB_H
