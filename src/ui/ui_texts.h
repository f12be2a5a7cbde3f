#pragma once

#include <QStringView>

namespace quintrel {

// Every caption, heading and message the windows show, byte for byte as users know them.
inline constexpr QStringView kMainCaption = u"Quintrel";
inline constexpr QStringView kOldFolderLabel = u"旧ﾌｫﾙﾀﾞ";
inline constexpr QStringView kNewFolderLabel = u"新ﾌｫﾙﾀﾞ";
inline constexpr QStringView kBrowseOldButton = u"参照(&1)...";
inline constexpr QStringView kBrowseNewButton = u"参照(&2)...";
inline constexpr QStringView kMeasureButton = u"再計測(&R)";
inline constexpr QStringView kSaveButton = u"保存(&S)...";
inline constexpr QStringView kSubfoldersCheck = u"ｻﾌﾞﾌｫﾙﾀﾞ(&B)";
inline constexpr QStringView kIgnoreFormatCheck = u"書式を無視(&W)";
inline constexpr QStringView kOptionsButton = u"ｵﾌﾟｼｮﾝ(&O)...";
inline constexpr QStringView kTotalLabel = u"Total";

inline constexpr QStringView kOptionsCaption = u"ｵﾌﾟｼｮﾝ";
inline constexpr QStringView kExtensionsLabel = u"拡張子";
inline constexpr QStringView kExcludeDirsLabel = u"除外ﾌｫﾙﾀﾞ";
inline constexpr QStringView kRenamesCheck = u"改名・移動を追跡";
inline constexpr QStringView kPercentUnit = u"%";
inline constexpr QStringView kOkButton = u"OK";

inline constexpr QStringView kHeadingName = u"ﾌｧｲﾙ名";
inline constexpr QStringView kHeadingAdded = u"追加";
inline constexpr QStringView kHeadingDeleted = u"削除";
inline constexpr QStringView kHeadingLoc = u"LOC";
inline constexpr QStringView kHeadingFolder = u"ﾌｫﾙﾀﾞ";

inline constexpr QStringView kMenuSelectionTotal = u"選択部分でTotal更新(&U)";
inline constexpr QStringView kMenuSelectAll = u"全てを選択(&A)";
inline constexpr QStringView kMenuOpenOld = u"旧フォルダのファイルを開く(&1)";
inline constexpr QStringView kMenuOpenNew = u"新フォルダのファイルを開く(&2)";
inline constexpr QStringView kMenuFolderSums = u"ﾌｫﾙﾀﾞ別集計(&F)...";
inline constexpr QStringView kMenuAbout = u"Quintrel のﾊﾞｰｼﾞｮﾝ情報(&A)...";

inline constexpr QStringView kBrowseOldTitle = u"旧フォルダ";
inline constexpr QStringView kBrowseNewTitle = u"新フォルダ";

inline constexpr QStringView kFolderSumsCaption = u"ﾌｫﾙﾀﾞ別集計";

inline constexpr QStringView kProgressCaption = u"進行状況";
inline constexpr QStringView kCancelButton = u"ｷｬﾝｾﾙ";

inline constexpr QStringView kAboutCaption = u"Quintrelのﾊﾞｰｼﾞｮﾝ情報";
inline constexpr QStringView kAboutDescription = u"C/C++ ソースの変更量計測";

inline constexpr QStringView kCancelledMessage = u"中断されました";
inline constexpr QStringView kDiskFullMessage = u"%1 へのｱｸｾｽ中にﾃﾞｨｽｸがいっぱいになりました。";
inline constexpr QStringView kCannotCreateMessage = u"%1 を作成できません。";
inline constexpr QStringView kRunFailedMessage = u"計測できませんでした。\n%1";
inline constexpr QStringView kFileMissingMessage = u"%1 が見つかりません。";
inline constexpr QStringView kCannotOpenMessage = u"%1 を開けません。";

inline constexpr QStringView kCsvFilter = u"CSV Files(*.csv)";
inline constexpr QStringView kJsonFilter = u"JSON Files(*.json)";
inline constexpr QStringView kAllFilesFilter = u"All Files(*.*)";

}  // namespace quintrel
