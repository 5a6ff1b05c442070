#include "client/core/users/user_store.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/xml/xml_document.h"
#include "platform/codepage.h"
#include "platform/file_io.h"
#include "platform/tests/comma_locale.h"
#include "testing/temp_folder.h"

using testing_support::CommaLocale;
using testing_support::TempFolder;

namespace {

const std::string kEmptyList =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\r\n<UserList>\r\n</UserList>\r\n";

std::string EmptyListIn(const TempFolder& folder) {
  std::string path = folder.File(UserStore::kFileName);
  platform::WriteFileAtomically(path, kEmptyList);
  return path;
}

UserRecord SampleUser(std::string uid, std::string uname = "张三") {
  UserRecord r;
  r.uid = std::move(uid);
  r.uname = std::move(uname);
  r.account = "zhang@例子";
  r.password = "密码&<1>";
  r.logincode = "LC1";
  r.picture = r.uname + ".jpg";
  r.level = "3";
  r.autologin = true;
  r.jizhumima = true;
  r.standardweight = 68.4f;
  r.weightscope = 2.0f;
  r.tixingupdatetime = 1234;
  r.sixingtixing = false;
  DeviceSlot& scale = r.Slot(DeviceKind::Scale);
  scale.bound = true;
  scale.serial = "W15A0031C7";
  scale.updatetime = "上一次同步时间为:2024-5-20 8:30:0";
  scale.connected = true;
  r.Slot(DeviceKind::Pace700).bound = true;
  r.Slot(DeviceKind::Pace700).serial = "123456789012";
  return r;
}

std::vector<std::string> UidsInFile(const std::string& path) {
  std::vector<std::string> uids;
  for (const auto& user : UserStore::LoadAll(path)) uids.push_back(user->uid);
  return uids;
}

// The file holds one user with reference weight 68.4, range 1.5 and one reading of 70.5 kg.
void ExpectNumbersOfTheSample(const std::string& path) {
  auto users = UserStore::LoadAll(path);
  ASSERT_EQ(users.size(), 1u);
  EXPECT_FLOAT_EQ(users[0]->standardweight, 68.4f);
  EXPECT_FLOAT_EQ(users[0]->weightscope, 1.5f);
  ASSERT_EQ(users[0]->datalist.size(), 1u);
  EXPECT_FLOAT_EQ(users[0]->datalist[0].weight, 70.5f);
}

XmlDocument Answer(const std::string& xml) {
  XmlDocument doc;
  doc.LoadText("<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + xml);
  return doc;
}

}  // namespace

TEST(UserStore, RoundTripKeepsEveryStoredFieldAndChineseTextInTheCodePage) {
  TempFolder folder;
  std::string path = EmptyListIn(folder);
  ASSERT_TRUE(UserStore::StoreOne(SampleUser("1001"), path, false));

  auto raw = platform::ReadWholeFile(path);
  ASSERT_TRUE(raw);
  EXPECT_NE(raw->find(platform::ToCodePage("张三")), std::string::npos) << "values are written in GBK";
  EXPECT_EQ(raw->find("张三"), std::string::npos);

  auto users = UserStore::LoadAll(path);
  ASSERT_EQ(users.size(), 1u);
  const UserRecord& u = *users[0];
  EXPECT_EQ(u.uid, "1001");
  EXPECT_EQ(u.uname, "张三");
  EXPECT_EQ(u.account, "zhang@例子");
  EXPECT_EQ(u.password, "密码&<1>");
  EXPECT_EQ(u.picture, "张三.jpg");
  EXPECT_EQ(u.level, "3");
  EXPECT_TRUE(u.autologin);
  EXPECT_TRUE(u.jizhumima);
  EXPECT_FALSE(u.autoclear);
  EXPECT_FALSE(u.sixingtixing);
  EXPECT_TRUE(u.haiyoutixing);
  EXPECT_EQ(u.tixingupdatetime, 1234);
  EXPECT_FLOAT_EQ(u.standardweight, 68.4f);
  EXPECT_FLOAT_EQ(u.weightscope, 2.0f);
  EXPECT_TRUE(u.Slot(DeviceKind::Scale).bound);
  EXPECT_EQ(u.Slot(DeviceKind::Scale).serial, "W15A0031C7");
  EXPECT_EQ(u.Slot(DeviceKind::Scale).updatetime, "上一次同步时间为:2024-5-20 8:30:0");
  EXPECT_FALSE(u.Slot(DeviceKind::Scale).connected) << "connected is a run-time flag";
  EXPECT_FALSE(u.Slot(DeviceKind::Pedometer).bound);
  EXPECT_EQ(u.Slot(DeviceKind::Pace700).serial, "123456789012");
}

TEST(UserStore, WritesTheElementsInFileOrder) {
  TempFolder folder;
  std::string path = EmptyListIn(folder);
  ASSERT_TRUE(UserStore::StoreOne(SampleUser("1001"), path, false));
  XmlDocument doc;
  doc.LoadFile(path);
  ASSERT_EQ(doc.Root().ChildCount(), 1);
  std::vector<std::string> names;
  for (const auto& child : doc.Root().Child(0)->Children()) names.push_back(child->Name());
  std::vector<std::string> expected = {
      "uid", "logincode", "uname", "account", "password", "autologin", "jizhumima", "picture", "level",
      "scalepinless", "scalesn", "scaleupdatetime", "steppinless", "stepsn", "stepupdatetime",
      "pace700pinless", "pace700sn", "pace700updatetime", "autoclear", "haiyoutixing", "yaoqingtixing",
      "sixingtixing", "huifutixing", "tongzhitixing", "tixingupdatetime", "standardweight", "weightscope",
      "datalist"};
  EXPECT_EQ(names, expected);
  EXPECT_EQ(doc.Root().Child(0)->FindChild("standardweight")->Value(), "68.4");
}

TEST(UserStore, ChineseTextReadsBackOnlyUnderTheCodePageItWasWrittenIn) {
  TempFolder folder;
  std::string path = folder.File(UserStore::kFileName);
  // A file written as true UTF-8 (as its declaration claims) is read as GBK, like every stored file.
  platform::WriteFileAtomically(path, kEmptyList.substr(0, kEmptyList.find("</UserList>")) +
                                          "<user_res><uid>7</uid><uname>张三</uname></user_res></UserList>");
  auto users = UserStore::LoadAll(path);
  ASSERT_EQ(users.size(), 1u);
  // The six UTF-8 bytes read as GBK pairs: "寮犱笁", not the name that was meant.
  EXPECT_EQ(users[0]->uname, "寮犱笁");
}

TEST(UserStore, StoringMovesTheRecordToTheEndAndLeavesOneElementForADuplicatedUid) {
  TempFolder folder;
  std::string path = EmptyListIn(folder);
  ASSERT_TRUE(UserStore::StoreOne(SampleUser("1"), path, false));
  ASSERT_TRUE(UserStore::StoreOne(SampleUser("2"), path, false));
  // Put a second element for uid 1 into the file, as an older client could have left it.
  XmlDocument doc;
  doc.LoadFile(path);
  doc.Root().AddChild("user_res").AddChild("uid").AddText("1");
  ASSERT_TRUE(doc.Save(path));
  ASSERT_EQ(UidsInFile(path), (std::vector<std::string>{"1", "2", "1"}));

  UserRecord again = SampleUser("1", "李四");
  ASSERT_TRUE(UserStore::StoreOne(again, path, false));
  EXPECT_EQ(UidsInFile(path), (std::vector<std::string>{"2", "1"}));
  EXPECT_EQ(UserStore::LoadAll(path)[1]->uname, "李四");
}

TEST(UserStore, AutoclearUsersAreGoneAfterQuitAndTheOthersKeepListOrder) {
  TempFolder folder;
  std::string path = EmptyListIn(folder);
  UserList users;
  for (const char* uid : {"a", "b", "c"}) {
    ASSERT_TRUE(UserStore::StoreOne(SampleUser(uid), path, false));
    users.push_back(std::make_unique<UserRecord>(SampleUser(uid)));
  }
  users[1]->autoclear = true;
  std::swap(users[0], users[2]);  // list order c, b, a
  ASSERT_TRUE(UserStore::StoreAllAtQuit(users, path));
  EXPECT_EQ(UidsInFile(path), (std::vector<std::string>{"c", "a"}));
}

TEST(UserStore, OnlyPendingReadingsAreStored) {
  TempFolder folder;
  std::string path = EmptyListIn(folder);
  UserRecord r = SampleUser("9");
  r.datalist.push_back({71.25f, "2024-05-01", true, false, "2024-05-01-07-00-00"});
  r.datalist.push_back({70.5f, "2024-05-02", false, false, "2024-05-02-07-01-02"});
  ASSERT_TRUE(UserStore::StoreOne(r, path, false));
  auto users = UserStore::LoadAll(path);
  ASSERT_EQ(users[0]->datalist.size(), 1u);
  EXPECT_FLOAT_EQ(users[0]->datalist[0].weight, 70.5f);
  EXPECT_EQ(users[0]->datalist[0].time, "2024-05-02");
  EXPECT_EQ(users[0]->datalist[0].exacttime, "2024-05-02-07-01-02");
  EXPECT_FALSE(users[0]->datalist[0].uploaded);
}

TEST(UserStore, NumbersKeepTheirPointUnderACommaLocale) {
  CommaLocale comma;
  if (!comma.Active()) GTEST_SKIP() << comma.Missing();
  TempFolder folder;
  std::string path = EmptyListIn(folder);
  UserRecord r = SampleUser("1");
  r.weightscope = 1.5f;
  r.datalist.push_back({70.5f, "2024-05-02", false, false, "2024-05-02-07-01-02"});
  ASSERT_TRUE(UserStore::StoreOne(r, path, false));

  std::string raw = platform::ReadWholeFile(path).value_or("");
  EXPECT_NE(raw.find("<standardweight>68.4</standardweight>"), std::string::npos) << raw;
  EXPECT_NE(raw.find("<weightscope>1.5</weightscope>"), std::string::npos);
  EXPECT_NE(raw.find("weight=\"70.5\""), std::string::npos);
  ExpectNumbersOfTheSample(path);
}

TEST(UserStore, DecimalCommasThatEarlierClientsStoredReadAsTheNumberMeant) {
  TempFolder folder;
  std::string path = folder.File(UserStore::kFileName);
  platform::WriteFileAtomically(path,
                                "<?xml version=\"1.0\"?><UserList><user_res><uid>5</uid>"
                                "<standardweight>68,4</standardweight><weightscope> 1,5 </weightscope>"
                                "<datalist><scaledata weight=\"70,5\" time=\"2024-05-02\"/></datalist>"
                                "</user_res></UserList>");
  ExpectNumbersOfTheSample(path);
}

TEST(UserStore, PinlessOtherThanOneLeavesTheSlotUnboundAndEmpty) {
  TempFolder folder;
  std::string path = folder.File(UserStore::kFileName);
  platform::WriteFileAtomically(path,
                                "<?xml version=\"1.0\"?><UserList><user_res><uid>5</uid>"
                                "<scalepinless>2</scalepinless><scalesn>W1X</scalesn>"
                                "<steppinless> 1 </steppinless><stepsn>A10000000001</stepsn>"
                                "<haiyoutixing>true</haiyoutixing></user_res></UserList>");
  auto users = UserStore::LoadAll(path);
  ASSERT_EQ(users.size(), 1u);
  EXPECT_FALSE(users[0]->Slot(DeviceKind::Scale).bound);
  EXPECT_TRUE(users[0]->Slot(DeviceKind::Scale).serial.empty());
  EXPECT_TRUE(users[0]->Slot(DeviceKind::Pedometer).bound);
  EXPECT_FALSE(users[0]->haiyoutixing) << "only \"1\" switches on";
  EXPECT_FLOAT_EQ(users[0]->standardweight, 50.0f) << "missing elements keep their defaults";
  EXPECT_FLOAT_EQ(users[0]->weightscope, 1.0f);
}

TEST(UserStore, AMissingFileIsNeitherLoadedNorCreated) {
  TempFolder folder;
  std::string missing = folder.File("none.xml");
  EXPECT_TRUE(UserStore::LoadAll(missing).empty());
  EXPECT_FALSE(UserStore::StoreOne(SampleUser("1"), missing, false));
  EXPECT_FALSE(platform::PathExists(missing));
}

TEST(UserStore, ADamagedFileKeepsItsCompleteAccountsIsKeptBesideAndLaterStoresGoIntoAFreshFile) {
  TempFolder folder;
  std::string path = folder.File(UserStore::kFileName);
  // The root is intact, but the second account ends in an unclosed tag.
  std::string damaged = kEmptyList.substr(0, kEmptyList.find("</UserList>")) +
                        "<user_res><uid>1</uid></user_res><user_res><uid>2";
  platform::WriteFileAtomically(path, damaged);

  UserStore::Loaded loaded = UserStore::Load(path);
  ASSERT_EQ(loaded.users.size(), 1u) << "the account before the damage is kept";
  EXPECT_EQ(loaded.users[0]->uid, "1");
  EXPECT_EQ(loaded.reason, UserStore::Loaded::Damaged);
  EXPECT_EQ(loaded.keptAside, path + ".damaged-1");
  EXPECT_EQ(platform::ReadWholeFile(path + ".damaged-1"), damaged) << "kept whole beside the list";
  EXPECT_EQ(UidsInFile(path), std::vector<std::string>{"1"}) << "a fresh list with what could be read";

  ASSERT_TRUE(UserStore::StoreOne(SampleUser("3"), path, false));
  EXPECT_EQ(UidsInFile(path), (std::vector<std::string>{"1", "3"}));

  // Damaged again, while the client runs: the next store keeps it too, under a name not yet taken.
  platform::WriteFileAtomically(path, damaged + "<");
  ASSERT_TRUE(UserStore::StoreOne(SampleUser("4"), path, false));
  EXPECT_EQ(UidsInFile(path), std::vector<std::string>{"4"});
  EXPECT_EQ(platform::ReadWholeFile(path + ".damaged-1"), damaged) << "an earlier copy is never overwritten";
  EXPECT_EQ(platform::ReadWholeFile(path + ".damaged-2"), damaged + "<");
}

TEST(UserStore, EmptyUnreadableOrForeignFilesAreKeptBesideToo) {
  TempFolder folder;
  std::string empty = folder.File("empty.xml");
  platform::WriteFileAtomically(empty, "");
  EXPECT_TRUE(UserStore::LoadAll(empty).empty());
  EXPECT_EQ(platform::ReadWholeFile(empty + ".damaged-1"), "");
  EXPECT_EQ(platform::ReadWholeFile(empty), kEmptyList);

  // Another program's document parses, so its accounts load into a user list of their own.
  std::string foreign = folder.File("foreign.xml");
  std::string other = "<?xml version=\"1.0\"?><Other><user_res><uid>7</uid></user_res></Other>";
  platform::WriteFileAtomically(foreign, other);
  EXPECT_EQ(UidsInFile(foreign), std::vector<std::string>{"7"});
  EXPECT_EQ(platform::ReadWholeFile(foreign + ".damaged-1"), other);
  ASSERT_TRUE(UserStore::StoreOne(SampleUser("1"), foreign, false));
  EXPECT_EQ(UidsInFile(foreign), (std::vector<std::string>{"7", "1"}));

  // A folder in the file's place is nothing the store can keep beside or replace.
  std::string taken = folder.File("taken.xml");
  ASSERT_TRUE(std::filesystem::create_directory(taken));
  EXPECT_TRUE(UserStore::LoadAll(taken).empty());
  EXPECT_FALSE(UserStore::StoreOne(SampleUser("1"), taken, false));
  EXPECT_FALSE(platform::PathExists(taken + ".damaged-1"));
}

TEST(UserStore, TaskGoalsFollowTheUnitRules) {
  UserRecord r;
  UserStore::ApplyTask(r, 70, 2);
  EXPECT_EQ(r.dailyGoal, 1);
  EXPECT_EQ(r.goalUnit, 3);
  EXPECT_EQ(r.pedometerGoal, 10);
  UserStore::ApplyTask(r, 70, 3);
  EXPECT_EQ(r.dailyGoal, 100);
  EXPECT_EQ(r.goalUnit, 2);
  UserStore::ApplyTask(r, 71, 1);
  EXPECT_EQ(r.pedometerGoal, 11);
  EXPECT_EQ(r.dailyGoal, 4);
  EXPECT_EQ(r.goalUnit, 1);
  UserStore::ApplyTask(r, 70000, 0);
  EXPECT_EQ(r.dailyGoal, 10000);
  EXPECT_EQ(r.goalUnit, 0);
  UserStore::ApplyTask(r, 1e300, 3);
  EXPECT_EQ(r.dailyGoal, 0);
}

TEST(UserStore, FillsARecordFromTheUserInformationAnswer) {
  UserRecord r = SampleUser("old");
  r.Slot(DeviceKind::Pedometer).bound = true;
  r.Slot(DeviceKind::Pedometer).serial = "A1old";
  XmlDocument doc = Answer(
      "<user_res><uid>77</uid><logincode>LOG</logincode><uname>王五</uname><level></level>"
      "<sex>1</sex><age>33</age><heigh>180</heigh><weight>75</weight><stepvalue>80</stepvalue>"
      "<head_url>http://127.0.0.1/p.jpg</head_url>"
      "<hards><hard><hardtype>0</hardtype><hardcode>A10000000009</hardcode></hard>"
      "<hard><hardtype>2</hardtype><hardcode>555</hardcode></hard></hards>"
      "<tasks><task><value>70</value><unit>2</unit></task><task><value>7</value><unit>0</unit></task></tasks>"
      "<msgs><all>6</all><fri>1</fri><ivi>2</ivi><msg>3</msg><reshare>0</reshare><notice>0</notice></msgs>"
      "</user_res>");
  UserStore::FillFromUserInfo(r, doc.Root());
  EXPECT_TRUE(r.loggedIn);
  EXPECT_EQ(r.uid, "77");
  EXPECT_EQ(r.uname, "王五");
  EXPECT_EQ(r.level, "3") << "an empty element leaves the field";
  EXPECT_EQ(r.height, 180);
  EXPECT_EQ(r.stepvalue, 80);
  EXPECT_EQ(r.picture, "http://127.0.0.1/p.jpg");
  EXPECT_EQ(r.Slot(DeviceKind::Pedometer).serial, "A10000000009");
  EXPECT_TRUE(r.Slot(DeviceKind::Scale).serial.empty()) << "hards clears the scale serial";
  EXPECT_TRUE(r.Slot(DeviceKind::Scale).bound) << "but keeps its flags when it lists devices";
  EXPECT_EQ(r.Slot(DeviceKind::Pace700).serial, "555");
  EXPECT_EQ(r.dailyGoal, 1);
  EXPECT_EQ(r.pedometerGoal, 10);
  EXPECT_EQ(r.counts.all, 6);
  EXPECT_EQ(r.counts.msg, 3);

  XmlDocument empty = Answer("<user_res><head_url></head_url><hards></hards></user_res>");
  UserStore::FillFromUserInfo(r, empty.Root());
  EXPECT_EQ(r.picture, "DefaultUser.jpg");
  EXPECT_FALSE(r.Slot(DeviceKind::Pedometer).bound);
  EXPECT_FALSE(r.Slot(DeviceKind::Scale).bound);
  EXPECT_FALSE(r.Slot(DeviceKind::Scale).connected);
  EXPECT_TRUE(r.Slot(DeviceKind::Pace700).bound) << "the pace700 slot keeps its values";
  EXPECT_EQ(r.Slot(DeviceKind::Pace700).serial, "555");
}

TEST(UserStore, PictureFileLivesInTheUserFolderUnlessItIsStillAnAddress) {
  UserRecord r;
  r.picture = "张三.jpg";
  EXPECT_EQ(UserStore::PictureFile("/opt/vymera", r), "/opt/vymera/user/张三.jpg");
  r.picture = "http://127.0.0.1/a.jpg";
  EXPECT_EQ(UserStore::PictureFile("/opt/vymera", r), "");
  r.picture = "../../etc/passwd";
  EXPECT_EQ(UserStore::PictureFile("/opt/vymera", r), "");
}

TEST(UserStore, AFileCutShortKeepsEveryAccountClosedBeforeTheCut) {
  TempFolder folder;
  std::string path = folder.File(UserStore::kFileName);
  ASSERT_TRUE(UserStore::CreateIfMissing(path));
  for (const char* uid : {"1", "2", "3"}) ASSERT_TRUE(UserStore::StoreOne(SampleUser(uid), path, false));
  std::string whole = *platform::ReadWholeFile(path);
  // Cut inside the third account, and cut right after the first.
  size_t third = whole.find("<uid>3</uid>");
  size_t afterFirst = whole.find("</user_res>") + std::string_view("</user_res>").size();
  for (auto [cut, expected] : {std::pair{third, std::vector<std::string>{"1", "2"}},
                               std::pair{afterFirst, std::vector<std::string>{"1"}}}) {
    ASSERT_TRUE(platform::WriteFileAtomically(path, whole.substr(0, cut)));
    UserStore::Loaded loaded = UserStore::Load(path);
    std::vector<std::string> uids;
    for (const auto& user : loaded.users) uids.push_back(user->uid);
    EXPECT_EQ(uids, expected);
    EXPECT_EQ(loaded.users[0]->uname, "张三") << "values read as they were stored";
    EXPECT_EQ(UidsInFile(path), expected);
    EXPECT_EQ(platform::ReadWholeFile(loaded.keptAside), whole.substr(0, cut));
  }
}

TEST(UserStore, MoreThanFourAccountsKeepTheFirstFourAndTheWholeFileBeside) {
  TempFolder folder;
  std::string path = folder.File(UserStore::kFileName);
  ASSERT_TRUE(UserStore::CreateIfMissing(path));
  for (const char* uid : {"1", "2", "3", "4", "5"}) ASSERT_TRUE(UserStore::StoreOne(SampleUser(uid), path, false));
  std::string whole = *platform::ReadWholeFile(path);

  UserStore::Loaded loaded = UserStore::Load(path);
  EXPECT_EQ(loaded.users.size(), 4u);
  EXPECT_EQ(loaded.reason, UserStore::Loaded::TooManyUsers);
  EXPECT_EQ(UidsInFile(path), (std::vector<std::string>{"1", "2", "3", "4"}));
  EXPECT_EQ(platform::ReadWholeFile(loaded.keptAside), whole) << "the fifth account is not lost";
}

TEST(UserStore, AFileThatCannotBeWrittenBackIsKeptBesideWithItsAccounts) {
  TempFolder folder;
  std::string path = folder.File(UserStore::kFileName);
  // Reads whole, but nests deeper than any document may be written.
  std::string deep = std::string(kEmptyList.substr(0, kEmptyList.find("</UserList>"))) +
                     "<user_res><uid>1</uid><x>";
  for (int i = 0; i < 200000; ++i) deep += "<x>";
  for (int i = 0; i < 200000; ++i) deep += "</x>";
  deep += "</x></user_res></UserList>\r\n";
  ASSERT_TRUE(platform::WriteFileAtomically(path, deep));

  UserStore::Loaded loaded = UserStore::Load(path);
  ASSERT_EQ(loaded.users.size(), 1u);
  EXPECT_EQ(loaded.reason, UserStore::Loaded::Damaged);
  EXPECT_EQ(platform::ReadWholeFile(loaded.keptAside), deep);
  ASSERT_TRUE(UserStore::StoreOne(SampleUser("2"), path, false)) << "later stores are not refused for ever";
  EXPECT_EQ(UidsInFile(path), (std::vector<std::string>{"1", "2"}));
}
