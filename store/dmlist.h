#pragma once
// The code-list data module: one query and one data source for each of the
// 21 code lists of the metadata standard. An element's tag N (10 to 30)
// names the list; the lookup editors of the editing window take ds_list(N)
// as their list source (key field "code", columns code and cname).
#include <array>

#include "platform/db/adodb.h"
#include "platform/db/datasource.h"

class Tdm_list : public TComponent {
  KORVANE_CLASS(Tdm_list, TComponent)
  // The first and last tag of a code list.
  static constexpr Integer FirstList = 10;
  static constexpr Integer LastList = 30;

  // The queries use Connection, or the record data module's connection
  // (dm->ADOConnection1) when none is given. They start closed.
  explicit Tdm_list(TComponent* AOwner, TADOConnection* Connection = nullptr);
  ~Tdm_list() override;

  // The query "aq_list" + N and the data source "ds_list" + N; nullptr for
  // an N outside 10..30.
  TADOQuery* aq_list(Integer N) const;
  TDataSource* ds_list(Integer N) const;
  // The table of code list N ("" outside 10..30).
  static String ListTableName(Integer N);

  // Opens, in the order 10 to 30, each query that is not open yet; an open
  // query is left as it is. A query that cannot open raises the dataset
  // layer's exception: the ones before it stay open, the ones after closed.
  void OpenCodeLists();

private:
  static constexpr size_t ListCount = LastList - FirstList + 1;
  std::array<TADOQuery*, ListCount> FQueries{};
  std::array<TDataSource*, ListCount> FSources{};
};

// The program's code-list data module; the main block creates it last and
// stores it here. Empty until then.
extern Tdm_list* dm_list;
