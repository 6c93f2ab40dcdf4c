// Every caption and message of the program, in English and French, as the
// dialogs that show them find them. Texts are UTF-8 here; they become
// Windows-1252 only at the registry and INI boundary.
#pragma once

#include <cstdint>
#include <string>

namespace plumage::texts {

struct Text {
  const char* en;
  const char* fr;
};

// Every test of the language asks whether it is 1 (French); anything else
// is English.
inline const char* Tr(std::int16_t language, const Text& text) {
  return language == 1 ? text.fr : text.en;
}

// ---- Shared ---------------------------------------------------------------
inline constexpr const char* kProgramTitle = "Plumage";  // the same in both languages
inline constexpr Text kErrorTitle{"Error!", "Erreur!"};
inline constexpr Text kVerbCaption{"C&hange icon...", "M&odifier l'icône..."};
inline constexpr Text kHelpFile{"HLPEN.HLP", "HLPFR.HLP"};

// Shown before the language is known, so always English in practice.
inline constexpr Text kNotInstalled{
    "Plumage is not correctly installed! Please re-install the software.",
    "Plumage n'est pas correctement installé! Veuillez réinstaller le logiciel."};

inline constexpr Text kIconFilter{
    "All Files (*.*)|*.*|All common icon files (*.exe;*.dll;*.ico;*.icl)|*.exe;*.dll;*.ico;*.icl|"
    "Icon Files (*.ico)|*.ico|Applications and DLLs (*.exe; *.dll)|*.exe;*.dll|"
    "Icon libraries (*.icl)|*.icl",
    "Tous les fichiers (*.*)|*.*|Fichiers d'icônes standards (*.exe;*.dll;*.ico;*.icl)|"
    "*.exe;*.dll;*.ico;*.icl|Fichiers icônes (*.ico)|*.ico|Applications et DLL (*.exe; *.dll)|"
    "*.exe;*.dll|Bibliothèques d'icônes (*.icl)|*.icl"};

// ---- Icon picker (ChangeIcon) ----------------------------------------------
namespace change_icon {
inline constexpr const char* kTitlePrefix = "Plumage - ";
inline constexpr Text kLabel1{"Current icon:", "Icône courante:"};
inline constexpr Text kLabel2{"File name:", "Nom du fichier:"};
inline constexpr Text kLabel3{"Index:", "Index:"};
inline constexpr Text kBrowseButton{"&Browse...", "&Parcourir..."};
inline constexpr Text kFrame1{"Automatic icon generator:", "Création automatique d'icônes:"};
inline constexpr Text kBtnAutoCreatePrefix{"Auto-create from ", "Création à partir de "};
inline constexpr Text kButtonCreate{"Convert selected icon", "Convertir l'icône sélectionnée"};
inline constexpr Text kOKButton{"OK", "OK"};
inline constexpr Text kRemoveButton{"&Reset folder", "&Reset"};
inline constexpr Text kCancelButton{"Cancel", "Annuler"};
inline constexpr Text kOptionButton{"&Settings...", "&Paramètres..."};

// What a screen reader says for the pictures: the entries of the list
// (followed by the icon's index) and the logo that opens the About box.
inline constexpr Text kEntryName{"Icon ", "Icône "};
inline constexpr Text kImage1Name{"About Plumage", "A propos de Plumage"};
inline constexpr Text kPicture3Name{"An icon made into a folder icon",
                                    "Une icône devenue icône de dossier"};

// The message table.
inline constexpr Text kNetworkRefusal{
    "You cannot modify a folder located on a network. This can be done from the server, using "
    "Plumage Professionnal version.",
    "Vous ne pouvez pas modifier l'icône d'un dossier réseau. Ceci ne peut être réalisé qu'au "
    "moyen de Plumage Pro."};
inline constexpr Text kInvalidFolder{"Invalid folder!", "Dossier invalide!"};
inline constexpr Text kCannotWrite{"Cannot write to file!", "Ecriture du fichier impossible!"};
inline constexpr Text kNoIcon{"No icon was found in this file!",
                              "Aucune icône n'a été trouvée dans ce fichier!"};
inline constexpr Text kOpenTitle{"Open icon...", "Ouvrir icône..."};
inline constexpr Text kNoApplication{"Sorry, this folder contains no application.",
                                     "Désolé, ce dossier ne comporte aucune application!"};
}  // namespace change_icon

// The message of ComposeFolderIcon, title "Plumage"; its French differs from
// the picker's own "no icon" message.
inline constexpr Text kComposeNoIcon{"No icon was found in this file!",
                                     "Ce fichier ne contient aucune icône!"};

// ---- Refresh reminder ------------------------------------------------------
// Lines joined by a carriage return alone when shown.
inline constexpr const char* kReminderEn[] = {
    "If you don't see the icon immediately, do not forget to",
    "refresh the Windows Explorer in order to see the changes.",
    "This can be done by clicking on the 'View' menu and",
    "selecting 'Refresh.",
    "This can be also done by simply pressing the F5 key.",
    "",
    "(This message can be disabled in the options dialog box.)"};
inline constexpr const char* kReminderFr[] = {
    "Si vous ne voyez pas votre icône immédiatement,",
    "n'oubliez pas de rafraîchir l'Explorateur Windows.",
    "Ceci est fait en cliquant dans le menu 'Affichage' et",
    "en sélectionnant l'option 'Actualiser'.",
    "Vous pouvez aussi appuyer tout simplement sur",
    "la touche F5.",
    "",
    "(Ce message peut être désactivé dans la boîte de",
    "dialogue 'Paramètres.)"};

// ---- New-icon dialog (frmTransformIcon) --------------------------------------
namespace transform_icon {
inline constexpr Text kCaption{"Transform icon...", "Transformer l'icône..."};
inline constexpr Text kFrame1{"Choose the icon to create:", "Choisissez l'icône à créer:"};
inline constexpr Text kFrame2{"Icon name:", "Nom de l'icône:"};
inline constexpr Text kBtnOk{"OK", "OK"};
inline constexpr Text kBtnCancel{"Cancel", "Annuler"};
// The English note has two blanks before "than".
inline constexpr Text kLabel1{
    "Note: you'll obtain better results with icon files (*.ico) and applications (*.exe)  than "
    "with icon libraries.",
    "Note: on obtiendra de meilleurs résultats à partir de fichiers d'icônes (*.ico) ou "
    "d'applications (*.exe) plutôt que de bibliothèques d'icônes."};
// What a screen reader says for the four candidates, in background order.
inline constexpr Text kCandidateNames[4] = {{"Yellow folder", "Dossier jaune"},
                                            {"Red folder", "Dossier rouge"},
                                            {"Blue folder", "Dossier bleu"},
                                            {"Green folder", "Dossier vert"}};
inline constexpr Text kNameRequired{"You must enter a name for this icon!",
                                    "Vous devez entrez un nom pour cette icône!"};
// A pasted name the key filter never saw: it must stay a plain file name
// inside the folder of new icons. The characters are kept together on one
// line by no-break spaces (U+00A0, which Windows-1252 holds too).
inline constexpr Text kInvalidName{
    "An icon name cannot contain a full stop or any of the characters "
    "\\\u00A0/\u00A0:\u00A0=\u00A0*\u00A0?",
    "Un nom d'icône ne peut contenir ni point ni aucun des caractères "
    "\\\u00A0/\u00A0:\u00A0=\u00A0*\u00A0?"};
}  // namespace transform_icon

// ---- Saving a made icon (SaveSelectedAsIcon) ---------------------------------
namespace icon_making {
inline constexpr Text kNothingSelected{"Select the icon to save in the list first!",
                                       "Sélectionnez d'abord dans la liste l'icône à enregistrer!"};
// Followed by the path, a colon, a line break and the reason.
inline constexpr Text kCannotMake{"Cannot make the icon file",
                                  "Impossible de créer le fichier d'icône"};
inline constexpr Text kCannotCreateFolder{"Cannot create the folder of new icons",
                                          "Impossible de créer le dossier des nouvelles icônes"};
}  // namespace icon_making

// ---- Settings dialog (frmOptions) --------------------------------------------
namespace options {
inline constexpr Text kCaption{"Plumage settings", "Paramètres Plumage"};
inline constexpr Text kFrame1{"Options:", "Options:"};
inline constexpr Text kLabel3{"Default icon library:", "Bibliothèque d'icônes par défaut:"};
inline constexpr Text kBrowseLibButton{"&Browse...", "&Parcourir..."};
inline constexpr Text kLabel4{
    "This file is used when no icon is already present when editing a folder icon.",
    "Ce fichier est utilisé lorsqu'aucune icône n'est déjà installée lors de l'édition d'un "
    "dossier."};
inline constexpr Text kNoWarningBox{"Hide the 'Refresh' reminder dialog box.",
                                    "Désactiver la boîte de dialogue 'Rafraîchir'."};
// Where the chosen icon goes: a copy inside the folder, named there by its
// bare name, or the path as chosen.
inline constexpr Text kKeepInsideBox{"Keep the icon inside the folder",
                                     "Garder l'icône dans le dossier"};
inline constexpr Text kFrame2{"Language:", "Langue:"};
inline constexpr Text kLang0{"En&glish", "En&glish"};
inline constexpr Text kLang1{"&Français", "&Français"};
inline constexpr Text kFrame3{"System settings:", "Paramètres système:"};
inline constexpr Text kLabel5{"Icon cache size:", "Taille du cache d'icônes:"};
inline constexpr Text kColors{"Display icons using maximum possible colors (recommended)",
                              "Afficher les icônes avec un maximum de couleurs (recommandé)"};
inline constexpr Text kRebuildButton{"&Re&build icon cache", "&Rafraîcher le cache"};
inline constexpr Text kDeleteButton{"&Delete icon cache", "&Effacer le cache"};
inline constexpr Text kCmdOK{"OK", "OK"};
inline constexpr Text kCmdCancel{"Cancel", "Annuler"};
inline constexpr Text kAboutBox{"&About...", "&A propos..."};
inline constexpr Text kCacheSizes[5] = {{"100 (minimum)", "100 (minimum)"},
                                        {"500 (system default)", "500 (valeur système)"},
                                        {"1000", "1000"},
                                        {"1500", "1500"},
                                        {"2000 (recommended)", "2000 (recommandé)"}};
inline constexpr Text kReboot{
    "For the changes to take effect, you must reboot your computer.",
    "Pour que les changements prennent effet, vous devez redémarrer Windows."};
// A setting the store refused (a full disk, a store that cannot be read).
inline constexpr Text kNotStored{
    "The settings could not be saved. They are left as they were.",
    "Les paramètres n'ont pas pu être enregistrés. Ils restent inchangés."};
inline constexpr Text kExplorerRestart{
    "The Explorer is using some of its icon cache files: they are deleted and rebuilt when "
    "the Explorer restarts (sign out and sign in again).",
    "L'Explorateur utilise certains de ses fichiers de cache d'icônes : ils seront supprimés "
    "et reconstruits au redémarrage de l'Explorateur (fermez la session puis rouvrez-la)."};
}  // namespace options

// ---- About box (frmAbout) ------------------------------------------------------
namespace about {
inline constexpr const char* kCaptionPrefix = "About ";  // + the application title
inline constexpr const char* kCaptionFr = "A propos de Plumage";
inline constexpr const char* kVersionPrefix = "Version ";
inline constexpr const char* kWebsite = "Website:";  // the same in both languages
inline constexpr const char* kOK = "OK";
inline constexpr Text kDescription{
    "Plumage lets you choose a different icon for each of your folders, for example for your "
    "documents, your applications and your tools.",
    "Plumage vous permet de choisir une icône différente pour chacun de vos dossiers, par "
    "exemple pour vos documents, vos applications et vos outils."};
inline constexpr Text kCredit{
    "Written by the Plumage developers, 12 rue des Plumes, 75000 Paris, France. "
    "Email: plumage@example.org",  // no hyphen for the word wrap to break at
    "Écrit par les développeurs de Plumage, 12 rue des Plumes, 75000 Paris, France. "
    "Courriel : plumage@example.org"};
inline constexpr const char* kLink = "https://plumage.example.org/";
// A link that nothing could open; followed by the address.
inline constexpr Text kCannotOpen{"No web browser could open ",
                                  "Aucun navigateur web n'a pu ouvrir "};
}  // namespace about

}  // namespace plumage::texts
