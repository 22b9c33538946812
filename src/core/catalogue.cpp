#include "catalogue.h"

#include <array>

namespace velmora {
namespace {

constexpr std::array<int, kSurahCount> kVerses = {
    7,   286, 200, 176, 120, 165, 206, 75, 129, 109, 123, 111, 43, 52, 99, 128, 111, 110, 98,
    135, 112, 78,  118, 64,  77,  227, 93, 88,  69,  60,  34,  30, 73, 54, 45,  83,  182, 88,
    75,  85,  54,  53,  89,  59,  37,  35, 38,  29,  18,  45,  60, 49, 62, 55,  78,  96,  29,
    22,  24,  13,  14,  11,  11,  18,  12, 12,  30,  52,  52,  44, 28, 28, 20,  56,  40,  31,
    50,  40,  46,  42,  29,  19,  36,  25, 22,  17,  19,  26,  30, 20, 15, 21,  11,  8,   8,
    19,  5,   8,   8,   11,  11,  8,   3,  9,   5,   4,   7,   3,  6,  3,  5,   4,   5,   6};

} // namespace

std::string ThreeDigits(int n)
{
    std::string digits = std::to_string(n);
    if (n >= 0 && n < 10)
        return "00" + digits;
    if (n >= 10 && n < 100)
        return "0" + digits;
    return digits;
}

const std::vector<std::string> &surahRows()
{
    static const std::vector<std::string> rows = {"001 Al Fatiha (The Opening)",
                                                  "002 Al Baqara (The Cow)",
                                                  "003 Aal-e-Imran (The Family of Imran)",
                                                  "004 An Nisa (The Women)",
                                                  "005 Al Maeda (The Table)",
                                                  "006 Al An'aam (The Cattle)",
                                                  "007 Al A'raf (The Heights)",
                                                  "008 Al Anfal (The Spoils of War)",
                                                  "009 At Tawba (Repentance)",
                                                  "010 Yunus (Younas)",
                                                  "011 Hud",
                                                  "012 Yusuf",
                                                  "013 Ar Ra'd (The Thunder)",
                                                  "014 Ibrahim",
                                                  "015 Al Hijr (The Stone)",
                                                  "016 An Nahl (The Bee)",
                                                  "017 Bani Israeli",
                                                  "018 Al Kahf (The Cave)",
                                                  "019 Maryam",
                                                  "020 Taha",
                                                  "021 Al Anbiya (The Prophets)",
                                                  "022 Al Hajj (The Pilgrimage)",
                                                  "023 Al Mumenoon (The Believers)",
                                                  "024 An Noor (The Light)",
                                                  "025 Al Furqan (The Criterion)",
                                                  "026 Ash Shuara (The Poets)",
                                                  "027 An Naml (The Ant)",
                                                  "028 Al Qasas (The Stories)",
                                                  "029 Al Ankaboot (The Spider)",
                                                  "030 Ar Room (The Romans)",
                                                  "031 Luqman",
                                                  "032 As Sajda",
                                                  "033 Al Ahzab (The Combined Forces)",
                                                  "034 Saba (Sheba)",
                                                  "035 Fatir (Originator)",
                                                  "036 Ya Seen",
                                                  "037 As Saaffat (Those who set the Ranks)",
                                                  "038 Suaad (The Letter Suaad)",
                                                  "039 Az Zumar (The Troops)",
                                                  "040 Ghafir (The Forgiver God)",
                                                  "041 Fussilat (Explained in Detail)",
                                                  "042 Ash Shura (Consultation)",
                                                  "043 Az Zukhruf (Ornaments of Gold)",
                                                  "044 Ad Dukhan (Smoke)",
                                                  "045 Al Jathiya (Crouching)",
                                                  "046 Al Ahqaf (The Wind Curved Sandhills)",
                                                  "047 Muhammad",
                                                  "048 Al Fath (The Victory)",
                                                  "049 Al Hujraat (The Private Apartments)",
                                                  "050 Qaf (The Letter Qaf)",
                                                  "051 Ad-Dhariyat (The Winnowing Winds)",
                                                  "052 At Tur (The Mount)",
                                                  "053 An Najm (The Star)",
                                                  "054 Al Qamar (The Moon)",
                                                  "055 Ar Rahman (The Beneficent)",
                                                  "056 Al Waqi'a (The Inevitable)",
                                                  "057 Al Hadid (The Iron)",
                                                  "058 Al Mujadala (She that Disputeth)",
                                                  "059 Al Hashr (Exile)",
                                                  "060 Al Mumtahana (She that is to be examined)",
                                                  "061 As Saff (Battle Array)",
                                                  "062 Al Jumu'a (Friday)",
                                                  "063 Al Munafiqoon (The Hypocrites)",
                                                  "064 At Taghabun (Mutual Disillusion)",
                                                  "065 At Talaq (Divorce)",
                                                  "066 At Tahrim (Prohibition)",
                                                  "067 Al Mulk (Sovereignity)",
                                                  "068 Al Qalam (The Pen)",
                                                  "069 Al Haqqa (The Reality)",
                                                  "070 Al Maarij (The Ascending Stairways)",
                                                  "071 Nooh",
                                                  "072 Al Jinn (The Jinn)",
                                                  "073 Al Muzzammil (The Enshrouded One)",
                                                  "074 Al Muddaththir (The Cloaked One)",
                                                  "075 Al Qiyama (The Rising of the Dead)",
                                                  "076 Al Insan (Man)",
                                                  "077 Al Mursalat (The Emissaries)",
                                                  "078 An Naba (The Tidings)",
                                                  "079 An Naziat (Those Who Drag Forth)",
                                                  "080 Abasa (He Frowned)",
                                                  "081 Al Takwir (The Overthrowing)",
                                                  "082 Al Infitar (The Cleaving)",
                                                  "083 Al Mutaffifin (Defrauding)",
                                                  "084 Al Inshiqaq (The Sundering)",
                                                  "085 Al Burooj (The Mansions of the Stars)",
                                                  "086 At Tariq (The Nightcomer)",
                                                  "087 Al A'la (The Most High)",
                                                  "088 Al Ghashiya (The Overwhelming)",
                                                  "089 Al Fajr (The Dawn)",
                                                  "090 Al Balad (The City)",
                                                  "091 Ash Shams (The Sun)",
                                                  "092 Al Layl (The Night)",
                                                  "093 Ad Dhuha (The Morning Hours)",
                                                  "094 As Sharh (Relief)",
                                                  "095 At Tin (The Fig)",
                                                  "096 Al 'Alaq (The Clot)",
                                                  "097 Al Qadr (Power)",
                                                  "098 Al Bayyina (The Clear Proof)",
                                                  "099 Az Zalzala (The Earthquake)",
                                                  "100 Al 'adiyat (The Courser)",
                                                  "101 Al Qari'a (The Calamity)",
                                                  "102 At Takathur (Rivalry in World Increase)",
                                                  "103 Al Asr (The Declining Day)",
                                                  "104 Al Humaza (The Traducer)",
                                                  "105 Al Fil (The Elephant)",
                                                  "106 Quraish",
                                                  "107 Al Ma'un (Small Kindnesses)",
                                                  "108 Al Kauther (Abundance)",
                                                  "109 Al Kafiroon (The Disbelievers)",
                                                  "110 An Nasr (Divine Support)",
                                                  "111 Al Masadd (The Flame)",
                                                  "112 Al Ikhlas (Sincerity)",
                                                  "113 Al Falaq (The Daybreak)",
                                                  "114 An Nas (Mankind)",
                                                  kSupplicationRow};
    return rows;
}

int verseCount(int surah)
{
    if (surah < 1 || surah > kSurahCount)
        return 0;
    return kVerses[static_cast<std::size_t>(surah - 1)];
}

int entryCountOfRow(int row)
{
    if (row == 0)
        return verseCount(1);
    if (row >= 1 && row < kSurahCount)
        return verseCount(row + 1) + 1;
    if (row == kSurahCount)
        return static_cast<int>(supplicationRefs().size()) + 1;
    return 0;
}

std::vector<std::string> entryCountRows()
{
    std::vector<std::string> rows;
    for (int row = 0; row <= kSurahCount; ++row)
        rows.push_back(std::string(" ").append(std::to_string(entryCountOfRow(row))).append(" "));
    return rows;
}

const std::vector<std::string> &supplicationRefs()
{
    // The 23rd reference names Yunus 10:85 ("Our Lord! Make us not a lure for the wrongdoing folk"),
    // the supplication of that surah; it was once stored as "010-285", which names no verse.
    static const std::vector<std::string> refs = {
        "002-001", "002-002", "002-003", "002-004", "002-005", "002-127", "002-128", "002-201", "002-250",
        "002-286", "003-008", "003-016", "003-053", "003-147", "003-173", "003-191", "003-192", "003-193",
        "003-194", "007-023", "007-126", "009-129", "010-085", "012-101", "037-180", "037-181", "037-182",
        "018-010", "018-024", "020-025", "020-026", "020-027", "020-028", "020-114", "021-083", "021-087",
        "023-029", "023-093", "023-094", "023-097", "023-098", "023-109", "023-118", "025-065", "025-066",
        "025-074", "026-083", "026-084", "026-085", "027-019", "028-016", "028-017", "028-021", "028-022",
        "028-024", "029-030", "038-041", "040-044", "059-010", "060-004", "060-005"};
    return refs;
}

std::string verseReference(int surah, int entry)
{
    return ThreeDigits(surah) + "-" + ThreeDigits(entry);
}

bool looksLikeMp3(std::string_view head)
{
    if (head.starts_with("ID3"))
        return true;
    return head.size() >= 2 && static_cast<unsigned char>(head[0]) == 0xFF &&
           (static_cast<unsigned char>(head[1]) & 0xE0) == 0xE0;
}

std::string withThousands(std::size_t n)
{
    const std::string digits = std::to_string(n);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out.push_back(',');
        out.push_back(digits[i]);
    }
    return out;
}

std::string listedEntries(const std::vector<std::string> &entries)
{
    constexpr std::size_t kShown = 12;
    std::string out;
    for (std::size_t i = 0; i < entries.size() && i < kShown; ++i)
        out += (i ? ", " : "") + entries[i];
    if (entries.size() > kShown)
        out += " and " + withThousands(entries.size() - kShown) + " more";
    return out;
}

} // namespace velmora
