#include <gtest/gtest.h>

#include "tests/platform/db/dbtestutil.h"

#include "platform/db/sqlitedb.h"

namespace {

TEST(ADOConnection, MissingFileIsAnErrorAndIsNotCreated) {
  TTempDatabase db;
  for (std::string name : {"absent.mdb", "file:absent.mdb", "sub/absent.mdb"}) {
    SCOPED_TRACE(name);
    std::filesystem::path path = db.Folder / name;
    TADOConnection connection(nullptr);
    connection.SetProperty(u"Data Source", UTF8ToString(path.string()));
    EXPECT_THROW(connection.Open(), EDatabaseError);
    EXPECT_FALSE(connection.Connected());
    EXPECT_FALSE(std::filesystem::exists(path));
  }
  // Only the database file itself is in the folder: nothing was created.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(db.Folder), {}), 1);
}

TEST(ADOConnection, FileThatIsNotADatabaseIsAnError) {
  TTempDatabase db;
  std::filesystem::path path = db.Folder / "junk.mdb";
  FILE* f = fopen(path.c_str(), "wb");
  fputs("this is not a database file at all, just some text of no use.......", f);
  fclose(f);
  TADOConnection connection(nullptr);
  connection.SetProperty(u"Data Source", UTF8ToString(path.string()));
  EXPECT_THROW(connection.Open(), EDatabaseError);
}

TEST(ADOConnection, ConnectionStringPropertiesKeepOrderAndQuoting) {
  TADOConnection connection(nullptr);
  connection.SetConnectionString(
      u"Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=DataIdentification.mdb;"
      u"Mode=Share Deny None;Extended Properties=\"\";Jet OLEDB:Database Password=\"a;b\"");
  EXPECT_EQ(connection.Provider(), u"Microsoft.Jet.OLEDB.4.0");
  EXPECT_EQ(connection.Property(u"data source"), u"DataIdentification.mdb");
  EXPECT_EQ(connection.Property(u"Extended Properties"), u"");
  EXPECT_EQ(connection.Property(u"Jet OLEDB:Database Password"), u"a;b");
  connection.SetProperty(u"Data Source", u"/x/DataIdentification.mdb");
  EXPECT_EQ(connection.ConnectionString(),
            u"Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=/x/DataIdentification.mdb;"
            u"Mode=Share Deny None;Extended Properties=\"\";Jet OLEDB:Database Password=\"a;b\"");
}

TEST(ADOConnection, BeforeConnectSetsTheFileAndEventsRunInOrder) {
  TTempDatabase db("CREATE TABLE t(a integer);");
  TADOConnection connection(nullptr);
  connection.SetConnectionString(u"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=DataIdentification.mdb");
  std::vector<std::string> log;
  connection.BeforeConnect = TNotifyEvent(&log, [&](TObject*) {
    log.push_back("before");
    connection.SetProperty(u"Data Source", db.FileName());
  });
  connection.AfterConnect = TNotifyEvent(&log, [&](TObject*) { log.push_back("after"); }, 1);
  connection.BeforeDisconnect = TNotifyEvent(&log, [&](TObject*) { log.push_back("disconnect"); }, 2);
  connection.SetConnected(true);
  EXPECT_TRUE(connection.Connected());
  EXPECT_EQ(connection.Execute(u"INSERT INTO t VALUES (1); INSERT INTO t VALUES (2)"), 1);
  connection.Close();
  EXPECT_EQ(log, (std::vector<std::string>{"before", "after", "disconnect"}));
  EXPECT_EQ(db.Value("select count(*) from t"), "2");
}

TEST(ADOConnection, TransactionsCommitAndRollBack) {
  TTempDatabase db("CREATE TABLE t(a integer);");
  TADOConnection connection(nullptr);
  connection.SetProperty(u"Data Source", db.FileName());
  EXPECT_EQ(connection.BeginTrans(), 1);
  connection.Execute(u"INSERT INTO t VALUES (1)");
  EXPECT_EQ(connection.BeginTrans(), 2);
  connection.Execute(u"INSERT INTO t VALUES (2)");
  connection.RollbackTrans();
  connection.CommitTrans();
  EXPECT_FALSE(connection.InTransaction());
  EXPECT_THROW(connection.CommitTrans(), EDatabaseError);
  connection.BeginTrans();
  connection.Execute(u"INSERT INTO t VALUES (3)");
  connection.RollbackTrans();
  EXPECT_EQ(db.Column("select a from t order by a"), (std::vector<std::string>{"1"}));
}

TEST(ADOConnection, ForeignKeysAreEnforcedAndErrorsCarrySQLiteText) {
  TTempDatabase db(
      "CREATE TABLE p(id integer primary key); CREATE TABLE c(pid integer references p(id));");
  TADOConnection connection(nullptr);
  connection.SetProperty(u"Data Source", db.FileName());
  try {
    connection.Execute(u"INSERT INTO c VALUES (5)");
    FAIL() << "no error";
  } catch (const EDatabaseError& e) {
    EXPECT_NE(e.Message.find(u"FOREIGN KEY"), String::npos);
  }
  EXPECT_THROW(connection.Execute(u"SELEC nothing"), EDatabaseError);
}

TEST(ADOConnection, InMemoryDatabaseServesQueries) {
  TADOConnection connection(nullptr);
  connection.SetProperty(u"Data Source", u":memory:");
  connection.Execute(u"CREATE TABLE t(id integer, name text(10)); INSERT INTO t VALUES (1, 'a')");
  TADOQuery query(nullptr);
  query.SetConnection(&connection);
  query.SQL()->SetText(u"select id, name from t");
  query.Open();
  query.Edit();
  query.FieldByName(u"name")->SetAsString(u"b");
  query.Post();
  query.Close();
  query.SQL()->SetText(u"select name from t where id = 1");
  query.Open();
  EXPECT_EQ(query.Fields()->Fields(0)->AsString(), u"b");
}

TEST(ADOConnection, ClosingTheConnectionClosesItsQueries) {
  TQueryFixture fx("CREATE TABLE t(a integer); INSERT INTO t VALUES (1);");
  fx.Open(u"select a from t");
  EXPECT_TRUE(fx.Query->Active());
  fx.Connection->Close();
  EXPECT_FALSE(fx.Query->Active());
  // The next query that opens connects again.
  fx.Query->Open();
  EXPECT_TRUE(fx.Connection->Connected());
}

}  // namespace
