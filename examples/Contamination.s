// Difference in ice and carbon contamination between two NiOx spectra.

string first, second
if (!OpenDialog(first)) exit(0)
if (!OpenDialog(second)) exit(0)
Result(Zor_NiOxIceC(Zor_EMSAtoDM(first), Zor_EMSAtoDM(second)))

// Open the folder of the first spectrum in the Windows shell.
XUtilsShellExec(PathExtractDirectory(first, 0))
