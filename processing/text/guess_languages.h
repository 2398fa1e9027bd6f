#pragma once

// The languages whose subtitles come in single-byte pages, as the page guess
// knows them: their letters from 0x80 up, where those never stand, and their
// common words.

#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string_view>

namespace pellumar {

// A language: its common words, and its letters from 0x80 up (the rest read
// the same in every page) with where they never stand.
struct Language {
  // Common words, in small letters. Those in ASCII tell the language
  // whatever the page; the others read as words in the right page only.
  const char* words = "";
  // By how often they turn up in running text: they earn 3, 2 or 1.
  const char* often = "";
  const char* sometimes = "";
  const char* seldom = "";
  const char* alone = "";  // those that make a word on their own
  // Where letters never stand; a letter there fits the language no better
  // than one it does not have.
  const char* notFirst = "";  // at the start of a word
  const char* notAfterVowel = "";
  const char* notBeforeVowel = "";     // Polish writes sia for śa
  const char* lastOnly = "";           // anywhere but at the end of a word
  const char* notAfterConsonant = "";  // Dutch ï after a vowel only
  const char* notLast = "";
  const char* notBeforeEOrI = "";  // Czech and Slovak write de, ti, ně, le
};

inline constexpr Language kLanguages[] = {
    // Polish
    {.words = "a ale by co czy do dobrze gdzie go i ja jak jest jestem jego jej kiedy mam mi mnie "
              "na nas nic nie o od on po tak teraz to ty tylko w wiem z za się że już może być był "
              "będzie też są jeśli tę proszę",
     .often = "ąęłóśż",
     .sometimes = "ćń",
     .seldom = "ź",
     .notFirst = "ąęń",
     .notBeforeVowel = "ąęńśźć"},
    // Czech
    {.words = "a ale by co do ho jak je jen jsem jsi jsme jste jsou k kde mi na nebo o pro proto s "
              "se tady tak tam ten to v z ze že už být já mě tě vás než jí také může ještě",
     .often = "áéíěčřšžý",
     .sometimes = "ůňď",
     .seldom = "úťó",
     .notFirst = "ěůňť",
     .notAfterVowel = "ěů",
     .notAfterConsonant = "ň",
     .notBeforeEOrI = "ďťň"},
    // Slovak
    {.words = "a aj ako ale by do ho je jeho k kde kedy len mi na o pre preto s sa si som sme ste "
              "tak tam ten to tu v z že už čo sú áno môže ešte všetko ďakujem tú či",
     .often = "áíčšžľ",
     .sometimes = "éýôúťď",
     .seldom = "ňäóĺŕ",
     .notFirst = "äĺŕ",
     .notAfterVowel = "äôĺŕ",
     .notAfterConsonant = "ň",
     .notBeforeEOrI = "ďťňľ"},
    // Hungarian
    {.words = "a az be csak de egy el ez ezt ha hogy igen is itt kell ki meg mi mint mit most nem "
              "nincs olyan sem van vagy volt és már még én ő így jó úgy köszönöm",
     .often = "áéő",
     .sometimes = "öüóíű",
     .seldom = "ú",
     .alone = "ő",
     .notAfterVowel = "őű"},
    // Slovenian
    {.words = "ali bi da do ga in je kaj ker ki kot lahko mi na ne pa samo se sem si so tako tudi "
              "v z za zdaj že še če ni vse bo",
     .often = "čšž",
     .seldom = "ćđ"},
    // Croatian, Bosnian
    {.words = "ali bi da do ga i ili je kao mi na ne nije ovdje ovo sada sam samo se si smo su "
              "tako ti u za što će već još šta ću sve",
     .often = "čšž",
     .sometimes = "ćđ"},
    // German
    {.words = "auch aber das dem den der dich die dir du ein eine er es hat hier ich ist ja kann "
              "mich mir mit nein nicht noch nur sie sind so und von war was wenn wie wir zu für "
              "über können würde schön möchte daß weiß muß",
     .often = "äöü",
     .sometimes = "ß",
     .notFirst = "ß"},
    // French
    {.words =
         "au avec bien ce dans de des du elle en est et il je la le les mais ne nous oui pas plus "
         "pour que qui se sur tout tu un une vous à été déjà très où ça être même là après",
     .often = "éè",
     .sometimes = "àêçùû",
     .seldom = "ôîëïâœæÿ",
     .alone = "à"},
    // Spanish
    {.words = "al bien como con de del el en es esto hay la las le lo los me mi muy no para pero "
              "por que se su te todo un una y ya yo más qué está sí también así aquí él tú después",
     .often = "ó",
     .sometimes = "áéíñ",
     .seldom = "úü",
     .notFirst = "ñ"},
    // Portuguese
    {.words = "a ao as bem com da das de do dos e ela ele em eu isso isto mas muito na no o os "
              "para por que se sim tem um uma não você é está já também só então até",
     .often = "ãçéá",
     .sometimes = "êíóõú",
     .seldom = "âàô",
     .alone = "àé",
     .notFirst = "ãõ"},
    // Italian
    {.words = "anche bene che come con cosa del della di e gli ha ho il in io la le lo ma mi non "
              "per qui se si sono ti un una è più perché già così può sì cioè",
     .often = "èò",
     .sometimes = "àù",
     .seldom = "éìíóî",
     .alone = "èà",
     .lastOnly = "èàìòù"},
    // Dutch
    {.words = "als bij dat de die dit een en er heb het hij ik in is je kan maar met naar niet nog "
              "ook op te van voor wat we wel ze zijn één",
     .often = "ï",
     .sometimes = "éë",
     .seldom = "öèüáóê",
     .notFirst = "ëï",
     .notAfterConsonant = "ëï",
     .notLast = "ï"},
    // Romanian
    {.words = "acum ai aici am asta ca care ce cu dar de din ea el este eu la mai nu o pe pentru "
              "se sunt tu un şi să în că până",
     .often = "şţșț",
     .sometimes = "ăâî"},
    // Albanian
    {.words =
         "ai ajo do dhe e i ja jam je ka kjo ky me ne nuk per por se si te ti u është një në unë",
     .often = "ë",
     .sometimes = "ç"},
    // Danish, Norwegian
    {.words = "at de den der det du en er et for han har hva ikke jeg kan meg men mig og skal som "
              "til var vi vil på år også før",
     .often = "åø",
     .sometimes = "æ",
     .seldom = "é",
     .alone = "å"},
    // Swedish, Finnish
    {.words = "att av den det du en ett han har hon inte jag kan med men och om som till var vi ja "
              "on ei se kun mutta niin nyt jos olen är på för så också minä että tämä",
     .often = "åäö",
     .seldom = "é",
     .alone = "å"},
    // Icelandic
    {.words = "en er hann hafa mig og sem til um var að það ég á við",
     .sometimes = "áðéíóúþæö",
     .seldom = "ý",
     .notFirst = "ð"},
    // Estonian
    {.words = "aga et ja ka kui ma mina mis nii oli oma on sa see siin sina ta tema või ära",
     .sometimes = "äõöü",
     .seldom = "šž"},
    // Lithuanian
    {.words = "bet ir jis ji kad kas labai man ne su tai taip tu yra aš čia",
     .often = "š",
     .sometimes = "ąčėįųūž",
     .seldom = "ę",
     .alone = "į"},
    // Latvian
    {.words = "ar bet es ir jau ka kas man ne par tev tikai to tu un vai viņš jūs",
     .often = "āēī",
     .sometimes = "čšūž",
     .seldom = "ģķļņ"},
    // Turkish
    {.words =
         "ama ben bir bu da daha de evet gibi ile mi mu ne o sen var ve yok için çok şey değil",
     .often = "ış",
     .sometimes = "çğöü",
     .notFirst = "ğ"},
    // Russian
    {.often = "аеиностлвр",
     .sometimes = "кмдпуяыьгзбчйхжшю",
     .seldom = "цщэфъё",
     .alone = "иваскоуя",
     .notFirst = "ыьъ"},
    // Bulgarian
    {.often = "аеиностлвр",
     .sometimes = "кмдпуяъгзбчйхжшю",
     .seldom = "цщьф",
     .alone = "иваскоуя",
     .notFirst = "ьъ"},
    // Ukrainian
    {.often = "аеиностлвр",
     .sometimes = "кмдпуяьгзбчйхжшюі",
     .seldom = "цщфєїґ",
     .alone = "івазоуйя",
     .notFirst = "ь"},
    // Serbian
    {.often = "аеиностлвр", .sometimes = "кмдпуьгзбчхжшјђћџљњ", .seldom = "цф", .alone = "иваскоу"},
    // Macedonian
    {.often = "аеиностлвр", .sometimes = "кмдпугзбчхжшјљњѓќѕџ", .seldom = "цф", .alone = "иваскоу"},
    // Belarusian
    {.often = "аеіностлвр",
     .sometimes = "кмдпуяыьгзбчйхжшўё",
     .seldom = "цэфю",
     .alone = "іваузя",
     .notFirst = "ыьў"},
};

inline constexpr std::size_t kLanguageCount = std::size(kLanguages);

// What the languages say of one small letter.
struct LetterFacts {
  // Where a letter never stands in a language, one bit each.
  enum Rule : std::uint8_t {
    NotFirst = 1,
    NotAfterVowel = 2,
    NotBeforeVowel = 4,
    LastOnly = 8,
    NotAfterConsonant = 16,
    NotLast = 32,
    NotBeforeEOrI = 64,
  };
  std::array<std::int8_t, kLanguageCount> weight{};  // 0: not a letter of the language
  std::array<std::int8_t, kLanguageCount> alone{};   // as a one-letter word
  std::array<std::uint8_t, kLanguageCount> rules{};  // where it never stands: Rule bits
  bool vowel = false;
  bool eOrI = false;  // e, i or one of them with a mark: é ě í ...
};

// The facts of a small letter from 0x80 up; null for one that no language
// and no vowel list names.
const LetterFacts* factsOfLetter(char32_t lower);

// The languages a common word belongs to, one bit each.
using LanguageSet = std::uint32_t;
static_assert(kLanguageCount <= 32);
inline constexpr std::size_t kLongestCommonWord = 15;  // in bytes of UTF-8

// The languages that `lowered`, a word in small letters, is a common word of.
LanguageSet commonWordLanguages(std::string_view lowered);

}  // namespace pellumar
