#!/usr/bin/env python3
"""Writes the two preview style sheets, assets/xsl/core.xsl and
assets/xsl/chinese.xsl, from the shipped template and code lists.

Run from the source folder after changing assets/db/templet.sql or
assets/db/codelists.sql:  python3 tools/xslgen/make_xsl.py
The sheets are committed; the build only copies them.

Each element of the template gets a label template matched by its full path
in a record file (the children of branch "06" stand directly in the root
element), so an English name used at several places keeps each place's
Chinese name. Each code of a list gets a name template matched by the list's
inner element name and the code.
"""
import os
import re
import sqlite3
import sys
from xml.sax.saxutils import escape, quoteattr

SOURCE = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..'))
DB = os.path.join(SOURCE, 'assets', 'db')
OUT = os.path.join(SOURCE, 'assets', 'xsl')
ENTITY_BRANCH = '06'  # writes no element of its own
SECTIONS = ['dataIdInfo', 'dqInfo', 'refSysInfo', 'contInfo', 'distInfo']


def load():
    db = sqlite3.connect(':memory:')
    for name in ('schema.sql', 'codelists.sql', 'templet.sql'):
        with open(os.path.join(DB, name), encoding='utf-8') as f:
            db.executescript(f.read())
    return db


def list_tables():
    """Tag -> code-list table, from the headings of codelists.sql."""
    with open(os.path.join(DB, 'codelists.sql'), encoding='utf-8') as f:
        return {int(t): name for t, name in re.findall(r'^-- Tag (\d+): (\w+)', f.read(), re.M)}


def paths(rows):
    by_id = {r['id']: r for r in rows}
    result = {}
    for r in rows:
        parts, at = [], r
        while at is not None:
            if at['code'] != ENTITY_BRANCH:
                parts.append(at['ename'])
            at = by_id.get(at['parent_id'])
        result[r['id']] = '/metadata/' + '/'.join(reversed(parts)) if parts else None
    return result


def xpath_literal(text):
    if "'" not in text:
        return "'" + text + "'"
    if '"' not in text:
        return '"' + text + '"'
    raise ValueError('code with both quote kinds: ' + text)


def sheet(db, core):
    db.row_factory = sqlite3.Row
    rows = db.execute('SELECT id, code, parent_id, cname, ename, tag, chb_name, is_core '
                      'FROM templet ORDER BY code').fetchall()
    where = paths(rows)
    chosen = [r for r in rows if (r['is_core'] or not core)]
    entity = next(r for r in rows if r['code'] == ENTITY_BRANCH)
    out = []
    for r in chosen:
        if where[r['id']] is None:
            continue
        out.append('  <xsl:template match=%s mode="label">%s</xsl:template>'
                   % (quoteattr(where[r['id']]), escape(r['cname'])))
    tables = list_tables()
    names = []
    for tag, chb in sorted({(r['tag'], r['chb_name']) for r in chosen if r['chb_name']}):
        for code, cname in db.execute('SELECT code, cname FROM %s ORDER BY code' % tables[tag]):
            names.append('  <xsl:template match=%s mode="code-name">%s</xsl:template>'
                         % (quoteattr('%s[@value=%s]' % (chb, xpath_literal(code))), escape(cname)))
    section_names = {r['ename']: r['cname'] for r in rows if len(r['code']) == 2}
    kind = '核心元数据' if core else '元数据'
    return (HEAD.replace('@KIND@', kind)
            .replace('@ENTITY@', escape(entity['cname']))
            .replace('@SECTIONS@', '\n'.join(
                '        <xsl:apply-templates select="metadata/%s" mode="section"/>' % s for s in SECTIONS))
            .replace('@NOT_SECTION@', ' or '.join('self::' + s for s in SECTIONS))
            + '\n  <!-- Chinese names of the elements, by their place in the file. -->\n'
            + '\n'.join(out)
            + '\n\n  <!-- Chinese names of the codes, by code list and code. -->\n'
            + '\n'.join(names) + '\n</xsl:stylesheet>\n')


HEAD = '''<?xml version="1.0" encoding="UTF-8"?>
<!-- Preview page of a @KIND@ record file. Written by tools/xslgen/make_xsl.py
     from the shipped template; change the template and run it again rather
     than editing this file. XSLT 1.0, no extensions, reads nothing but the
     record. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="html" encoding="UTF-8" indent="no"
              doctype-public="-//W3C//DTD HTML 4.01//EN"
              doctype-system="http://www.w3.org/TR/html4/strict.dtd"/>
  <!-- Not indented: the value cells keep white space as it stands, so an
       indentation inside a cell would show as an empty line. -->
  <xsl:strip-space elements="*"/>

  <xsl:variable name="title" select="normalize-space(/metadata/dataIdInfo[1]/idCitation/resTitle)"/>

  <xsl:template match="/">
    <html lang="zh-CN">
      <head>
        <meta http-equiv="Content-Type" content="text/html; charset=UTF-8"/>
        <title>
          <xsl:call-template name="title"/>
        </title>
        <style type="text/css">
          body { font-family: "宋体", "Noto Serif CJK SC", "WenQuanYi Micro Hei", serif; font-size: 14px; margin: 16px 24px; color: #000; background: #fff; }
          h1 { font-family: "黑体", "Noto Sans CJK SC", "WenQuanYi Micro Hei", sans-serif; font-size: 22px; margin: 0 0 4px 0; }
          p.kind { color: #555; margin: 0 0 16px 0; }
          h2 { font-family: "黑体", "Noto Sans CJK SC", "WenQuanYi Micro Hei", sans-serif; font-size: 17px; margin: 20px 0 6px 0; padding: 3px 8px; color: #fff; background: #3a6ea5; }
          table { border-collapse: collapse; width: 100%; }
          th { text-align: left; background: #dbe6f3; border: 1px solid #9db3cf; padding: 3px 8px; }
          td { border: 1px solid #c5d3e4; padding: 3px 8px; vertical-align: top; }
          td.name { width: 34%; }
          td.value { white-space: pre-wrap; word-break: break-all; }
          tr.branch td { background: #eef3f9; font-weight: bold; }
          span.code { font-family: monospace; }
          span.code-name { color: #555; margin-left: 6px; }
          p.error { color: #a00000; }
        </style>
      </head>
      <body>
        <xsl:choose>
          <xsl:when test="metadata">
            <h1><xsl:call-template name="title"/></h1>
            <p class="kind">@KIND@</p>
@SECTIONS@
            <xsl:if test="metadata/*[not(@NOT_SECTION@)]">
              <h2>@ENTITY@</h2>
              <xsl:call-template name="table">
                <xsl:with-param name="rows" select="metadata/*[not(@NOT_SECTION@)]"/>
              </xsl:call-template>
            </xsl:if>
          </xsl:when>
          <xsl:otherwise>
            <h1>无法预览</h1>
            <p class="error">该文件不是元数据记录文件：根元素应为 metadata，实为 <xsl:value-of select="name(*)"/>。</p>
          </xsl:otherwise>
        </xsl:choose>
      </body>
    </html>
  </xsl:template>

  <xsl:template name="title">
    <xsl:choose>
      <xsl:when test="$title != ''"><xsl:value-of select="$title"/></xsl:when>
      <xsl:otherwise>（未命名）</xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- A section: its name as the heading, its elements as a table. -->
  <xsl:template match="*" mode="section">
    <h2><xsl:apply-templates select="." mode="label"/></h2>
    <xsl:call-template name="table">
      <xsl:with-param name="rows" select="*"/>
    </xsl:call-template>
  </xsl:template>

  <xsl:template name="table">
    <xsl:param name="rows"/>
    <table>
      <thead><tr><th>元素</th><th>内容</th></tr></thead>
      <tbody>
        <xsl:apply-templates select="$rows" mode="row"/>
        <xsl:if test="not($rows)"><tr><td class="name">（无内容）</td><td class="value"></td></tr></xsl:if>
      </tbody>
    </table>
  </xsl:template>

  <!-- One row per element, indented by its depth below the section; a
       branch is a heading row followed by the rows of its children. A
       code-list element holds one empty element whose attribute value is
       the code. -->
  <xsl:template match="*" mode="row">
    <xsl:param name="depth" select="0"/>
    <xsl:variable name="indent" select="concat('padding-left:', 8 + 18 * $depth, 'px')"/>
    <xsl:choose>
      <xsl:when test="count(*) = 1 and *[@value and not(node())] and not(text()[normalize-space()])">
        <tr class="leaf">
          <td class="name" style="{$indent}"><xsl:apply-templates select="." mode="label"/></td>
          <td class="value">
            <span class="code"><xsl:value-of select="*/@value"/></span>
            <xsl:variable name="code-name"><xsl:apply-templates select="*" mode="code-name"/></xsl:variable>
            <xsl:if test="string($code-name)"><span class="code-name"><xsl:value-of select="$code-name"/></span></xsl:if>
          </td>
        </tr>
      </xsl:when>
      <xsl:when test="*">
        <tr class="branch">
          <td class="name" colspan="2" style="{$indent}"><xsl:apply-templates select="." mode="label"/></td>
        </tr>
        <xsl:apply-templates select="*" mode="row">
          <xsl:with-param name="depth" select="$depth + 1"/>
        </xsl:apply-templates>
      </xsl:when>
      <xsl:otherwise>
        <tr class="leaf">
          <td class="name" style="{$indent}"><xsl:apply-templates select="." mode="label"/></td>
          <td class="value"><xsl:value-of select="."/></td>
        </tr>
      </xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- An element the template does not know keeps its own name. -->
  <xsl:template match="*" mode="label"><xsl:value-of select="local-name()"/></xsl:template>
  <!-- A code the list does not know shows the code alone. -->
  <xsl:template match="*" mode="code-name"/>
'''


def main():
    db = load()
    for name, core in (('core.xsl', True), ('chinese.xsl', False)):
        text = sheet(db, core)
        with open(os.path.join(OUT, name), 'w', encoding='utf-8', newline='\n') as f:
            f.write(text)
        print('wrote', os.path.join(OUT, name), file=sys.stderr)


if __name__ == '__main__':
    main()
