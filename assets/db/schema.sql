-- Tables of "DataIdentification.mdb".
--
-- Column types: VARCHAR(n) is a text of up to n characters (a text field to
-- the datasets), TEXT a memo, INTEGER an integer, SMALLINT the small
-- unsigned leaf marker. Booleans are INTEGER 0/1. Every text column compares
-- without regard to letter case, as the program expects of its database.
-- Codes ("010101", "001") are text, so their leading zeros stay.

-- One row per element of a record. The program gives every row its id:
-- template ids offset by the highest id in the table for rows copied from
-- the template, 1, 2, 3 ... for the rows of an imported file. So an id is
-- unique within its record (the tree of a record is keyed by id), while an
-- imported record may reuse ids of other records.
CREATE TABLE t_metadata (
  meta_id      VARCHAR(50) NOT NULL COLLATE NOCASE,  -- record key, t_metakind.meta_id
  id           INTEGER NOT NULL,                     -- element id
  code         VARCHAR(50) COLLATE NOCASE,           -- template code; empty until an import is matched
  cname        VARCHAR(50) COLLATE NOCASE,           -- Chinese caption
  ename        VARCHAR(50) COLLATE NOCASE,           -- English name, the XML element name
  content      TEXT COLLATE NOCASE,                  -- the element's value
  parent_id    INTEGER,                              -- id of the parent row; 0 at the top of an import
  parent_code  VARCHAR(50) COLLATE NOCASE,           -- code of the parent element
  max_times    INTEGER,                              -- above 1: repeatable
  isEnd        SMALLINT,                             -- 1 leaf, 0 branch
  tag          INTEGER,                              -- editor tag: 1..9 plain editors, 10..30 code lists
  choice_state INTEGER,                              -- state left by the structure check
  record_type  VARCHAR(50) COLLATE NOCASE,           -- copied from the template, not read
  table_name   VARCHAR(50) COLLATE NOCASE,           -- copied from the template, not read
  PRIMARY KEY (meta_id, id)
);
CREATE INDEX t_metadata_by_id ON t_metadata (id);
CREATE INDEX t_metadata_by_parent ON t_metadata (meta_id, parent_id);

-- The element template: one row per element kind of the standard.
CREATE TABLE templet (
  id           INTEGER PRIMARY KEY,                  -- 1, 2, 3 ...
  code         VARCHAR(50) NOT NULL UNIQUE COLLATE NOCASE,  -- two digits per level
  cname        VARCHAR(50) COLLATE NOCASE,
  ename        VARCHAR(50) COLLATE NOCASE,
  parent_id    INTEGER NOT NULL DEFAULT 0,           -- id of the parent row; 0 at the top
  parent_code  VARCHAR(50) NOT NULL DEFAULT '' COLLATE NOCASE,  -- code minus its last two digits
  max_times    INTEGER NOT NULL DEFAULT 1,           -- 99 stands for "any number"
  isEnd        SMALLINT NOT NULL DEFAULT 0,          -- 1 leaf, 0 branch
  record_type  VARCHAR(50) COLLATE NOCASE,           -- copied into records, not read
  table_name   VARCHAR(50) COLLATE NOCASE,           -- copied into records, not read
  tag          INTEGER NOT NULL DEFAULT 1,           -- editor tag
  is_core      INTEGER NOT NULL DEFAULT 0,           -- boolean: part of the core subset
  choice       VARCHAR(50) COLLATE NOCASE,           -- 'M' mandatory, 'O' optional, else a choice-group id
  choice_desc  VARCHAR(255) COLLATE NOCASE,          -- the optionality as shown to the user
  descr        VARCHAR(255) COLLATE NOCASE,          -- the element's definition
  chb_name     VARCHAR(50) COLLATE NOCASE            -- code-list elements: name of the inner XML element
);
CREATE INDEX templet_by_parent_code ON templet (parent_code);

-- One row per record.
CREATE TABLE t_metakind (
  meta_id      VARCHAR(50) NOT NULL PRIMARY KEY COLLATE NOCASE,  -- creation time "yyyymmddhhmmss"
  meta_name    VARCHAR(255) COLLATE NOCASE,          -- the record's title (its element "010101")
  kind_name    VARCHAR(50) COLLATE NOCASE            -- '元数据' or '核心元数据'
);

-- Named by a query that is never opened; kept so that the query can open.
CREATE TABLE t_combobox (
  code         VARCHAR(50) COLLATE NOCASE,
  tableName    VARCHAR(50) COLLATE NOCASE,
  isactive     INTEGER NOT NULL DEFAULT 0            -- boolean
);

-- The 21 code lists. code is the value stored in an element's content,
-- ename and cname the English and Chinese names of the value.
CREATE TABLE MD_language                      (code VARCHAR(50) NOT NULL PRIMARY KEY COLLATE NOCASE, ename VARCHAR(50) COLLATE NOCASE, cname VARCHAR(50) COLLATE NOCASE);
CREATE TABLE MD_characterSet                  (code VARCHAR(50) NOT NULL PRIMARY KEY COLLATE NOCASE, ename VARCHAR(50) COLLATE NOCASE, cname VARCHAR(50) COLLATE NOCASE);
CREATE TABLE CI_DateTypeCode                  (code VARCHAR(50) NOT NULL PRIMARY KEY COLLATE NOCASE, ename VARCHAR(50) COLLATE NOCASE, cname VARCHAR(50) COLLATE NOCASE);
CREATE TABLE CI_RoleCode                      (code VARCHAR(50) NOT NULL PRIMARY KEY COLLATE NOCASE, ename VARCHAR(50) COLLATE NOCASE, cname VARCHAR(50) COLLATE NOCASE);
CREATE TABLE CI_PresentationFormCode          (code VARCHAR(50) NOT NULL PRIMARY KEY COLLATE NOCASE, ename VARCHAR(50) COLLATE NOCASE, cname VARCHAR(50) COLLATE NOCASE);
CREATE TABLE MD_ProGressCode                  (code VARCHAR(50) NOT NULL PRIMARY KEY COLLATE NOCASE, ename VARCHAR(50) COLLATE NOCASE, cname VARCHAR(50) COLLATE NOCASE);
CREATE TABLE MD_SpatialRepresentationTypeCode (code VARCHAR(50) NOT NULL PRIMARY KEY COLLATE NOCASE, ename VARCHAR(50) COLLATE NOCASE, cname VARCHAR(50) COLLATE NOCASE);
CREATE TABLE MD_TopicCategoryCode             (code VARCHAR(50) NOT NULL PRIMARY KEY COLLATE NOCASE, ename VARCHAR(50) COLLATE NOCASE, cname VARCHAR(50) COLLATE NOCASE);
CREATE TABLE CH_DataCategoryCode              (code VARCHAR(50) NOT NULL PRIMARY KEY COLLATE NOCASE, ename VARCHAR(50) COLLATE NOCASE, cname VARCHAR(50) COLLATE NOCASE);
CREATE TABLE CH_VerticalDatumCode             (code VARCHAR(50) NOT NULL PRIMARY KEY COLLATE NOCASE, ename VARCHAR(50) COLLATE NOCASE, cname VARCHAR(50) COLLATE NOCASE);
CREATE TABLE CH_StandardTimeCode              (code VARCHAR(50) NOT NULL PRIMARY KEY COLLATE NOCASE, ename VARCHAR(50) COLLATE NOCASE, cname VARCHAR(50) COLLATE NOCASE);
CREATE TABLE MD_MaintenanceFrequencyCode      (code VARCHAR(50) NOT NULL PRIMARY KEY COLLATE NOCASE, ename VARCHAR(50) COLLATE NOCASE, cname VARCHAR(50) COLLATE NOCASE);
CREATE TABLE MD_KeywordTypeCode               (code VARCHAR(50) NOT NULL PRIMARY KEY COLLATE NOCASE, ename VARCHAR(50) COLLATE NOCASE, cname VARCHAR(50) COLLATE NOCASE);
CREATE TABLE MD_RestrictionCode               (code VARCHAR(50) NOT NULL PRIMARY KEY COLLATE NOCASE, ename VARCHAR(50) COLLATE NOCASE, cname VARCHAR(50) COLLATE NOCASE);
CREATE TABLE CH_PlatformTypeCode              (code VARCHAR(50) NOT NULL PRIMARY KEY COLLATE NOCASE, ename VARCHAR(50) COLLATE NOCASE, cname VARCHAR(50) COLLATE NOCASE);
CREATE TABLE MD_AssociationTypeCode           (code VARCHAR(50) NOT NULL PRIMARY KEY COLLATE NOCASE, ename VARCHAR(50) COLLATE NOCASE, cname VARCHAR(50) COLLATE NOCASE);
CREATE TABLE MD_ScopeCode                     (code VARCHAR(50) NOT NULL PRIMARY KEY COLLATE NOCASE, ename VARCHAR(50) COLLATE NOCASE, cname VARCHAR(50) COLLATE NOCASE);
CREATE TABLE CH_CoordinateSystemCode          (code VARCHAR(50) NOT NULL PRIMARY KEY COLLATE NOCASE, ename VARCHAR(50) COLLATE NOCASE, cname VARCHAR(50) COLLATE NOCASE);
CREATE TABLE CH_EllipsoidCode                 (code VARCHAR(50) NOT NULL PRIMARY KEY COLLATE NOCASE, ename VARCHAR(50) COLLATE NOCASE, cname VARCHAR(50) COLLATE NOCASE);
CREATE TABLE CI_OnLineFunctionCode            (code VARCHAR(50) NOT NULL PRIMARY KEY COLLATE NOCASE, ename VARCHAR(50) COLLATE NOCASE, cname VARCHAR(50) COLLATE NOCASE);
CREATE TABLE MD_MediumNameCode                (code VARCHAR(50) NOT NULL PRIMARY KEY COLLATE NOCASE, ename VARCHAR(50) COLLATE NOCASE, cname VARCHAR(50) COLLATE NOCASE);
