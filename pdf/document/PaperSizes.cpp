#include <vellix/PaperSizes.h>

namespace Vellix {

const std::array<const char*, PaperSizeCount> PaperSizeNames = {
    "Custom", "Letter", "LetterSmall", "Tabloid", "Ledger", "Legal", "Statement", "Executive", "A3", "A4",
    "A4 Small", "A5", "B4", "B5", "Folio", "Quarto", "10 x 14 in", "11 x 17 in", "Note", "Envelope #9",
    "Envelope #10", "Envelope #11", "Envelope #12", "Envelope #14", "C size sheet", "D size sheet",
    "E size sheet", "DL", "C5", "C3", "C4", "C6", "C65", "B4", "B5", "B6", "Envelope Italy", "Monarch",
    "Envelope Personal", "US Standard Fanfold", "German Standard Fanfold", "German Legal Fanfold"};

const std::array<TPaperSize, PaperSizeCount> PaperSizes = {{
    {0, 0},       {2159, 2794}, {2159, 2794}, {2794, 4318}, {4318, 2794}, {2159, 3556}, {1270, 2159},
    {1842, 2667}, {2970, 4200}, {2100, 2970}, {2100, 2970}, {1480, 2100}, {2500, 3540}, {1820, 2570},
    {2159, 3302}, {2150, 2750}, {2540, 3556}, {2794, 4318}, {2159, 2794}, {984, 2254},  {1048, 2413},
    {1043, 2635}, {1207, 2794}, {1270, 2921}, {4318, 5588}, {5588, 8636}, {8636, 11176}, {1100, 2200},
    {1620, 2290}, {3240, 4580}, {2290, 3240}, {1140, 1620}, {1140, 2290}, {2500, 3530}, {1760, 2500},
    {1760, 1250}, {1100, 2300}, {984, 1905},  {921, 1651},  {3778, 2794}, {2159, 3048}, {2159, 3302},
}};

}  // namespace Vellix
