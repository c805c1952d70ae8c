// Filter a spectrum with each of the plug-in's four filters.
// The top-hat filters (3 and 4) need the detector resolution in eV as a tag.

string path
if (!OpenDialog(path)) exit(0)
image spectrum := Zor_EMSAtoDM(path)
spectrum.ImageGetTagGroup().TagGroupSetTagAsNumber("EDS:Detector info:Energy resolution", 130)

number filterType
for (filterType = 1; filterType <= 4; filterType++)
{
    image filtered
    Zor_SpectrumFilter(spectrum, filterType, filtered)
    ShowImage(filtered)
}
