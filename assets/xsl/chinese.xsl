<?xml version="1.0" encoding="UTF-8"?>
<!-- Preview page of a 元数据 record file. Written by tools/xslgen/make_xsl.py
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
            <p class="kind">元数据</p>
        <xsl:apply-templates select="metadata/dataIdInfo" mode="section"/>
        <xsl:apply-templates select="metadata/dqInfo" mode="section"/>
        <xsl:apply-templates select="metadata/refSysInfo" mode="section"/>
        <xsl:apply-templates select="metadata/contInfo" mode="section"/>
        <xsl:apply-templates select="metadata/distInfo" mode="section"/>
            <xsl:if test="metadata/*[not(self::dataIdInfo or self::dqInfo or self::refSysInfo or self::contInfo or self::distInfo)]">
              <h2>元数据实体集信息</h2>
              <xsl:call-template name="table">
                <xsl:with-param name="rows" select="metadata/*[not(self::dataIdInfo or self::dqInfo or self::refSysInfo or self::contInfo or self::distInfo)]"/>
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

  <!-- Chinese names of the elements, by their place in the file. -->
  <xsl:template match="/metadata/dataIdInfo" mode="label">标识信息</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation" mode="label">引用</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation/resTitle" mode="label">名称</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation/resAltTitle" mode="label">别名</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation/resRefDate" mode="label">引用日期</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation/resRefDate/refDate" mode="label">日期</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation/resRefDate/refDateType" mode="label">日期类型</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation/resEd" mode="label">版本</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation/resEdDate" mode="label">版本日期</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation/citId" mode="label">标识符</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation/citRespParty" mode="label">引用负责方</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation/citRespParty/rpIndName" mode="label">负责人姓名</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation/citRespParty/rpOrgName" mode="label">单位名称</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation/citRespParty/rpPosName" mode="label">职务</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation/citRespParty/rpCntInfo" mode="label">联系信息</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation/citRespParty/rpCntInfo/cntPhone" mode="label">电话</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation/citRespParty/rpCntInfo/cntPhone/voiceNum" mode="label">电话号码</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation/citRespParty/rpCntInfo/cntPhone/faxNum" mode="label">传真号码</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation/citRespParty/rpCntInfo/cntAddress" mode="label">地址</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation/citRespParty/rpCntInfo/cntAddress/delPoint" mode="label">详细地址</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation/citRespParty/rpCntInfo/cntAddress/city" mode="label">城市</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation/citRespParty/rpCntInfo/cntAddress/adminArea" mode="label">行政区</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation/citRespParty/rpCntInfo/cntAddress/postCode" mode="label">邮政编码</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation/citRespParty/rpCntInfo/cntAddress/country" mode="label">国家</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation/citRespParty/rpCntInfo/cntAddress/eMailAdd" mode="label">电子邮件地址</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation/citRespParty/rpCntInfo/cntOnlineRes" mode="label">在线资源</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation/citRespParty/rpCntInfo/cntOnlineRes/linkage" mode="label">链接地址</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation/citRespParty/rpCntInfo/cntOnlineRes/orFunct" mode="label">功能</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation/citRespParty/rpCntInfo/cntHours" mode="label">服务时间</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation/citRespParty/rpCntInfo/cntInstr" mode="label">联系说明</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation/citRespParty/role" mode="label">职责</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation/presForm" mode="label">表示形式</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation/datasetSeries" mode="label">丛书</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation/datasetSeries/seriesName" mode="label">丛书名称</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation/datasetSeries/issId" mode="label">期号</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation/datasetSeries/artPage" mode="label">页码</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation/otherCitDet" mode="label">其他引用细节</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation/collTitle" mode="label">集合名称</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation/isbn" mode="label">ISBN</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation/issn" mode="label">ISSN</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idAbs" mode="label">摘要</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idPurp" mode="label">目的</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCredit" mode="label">致谢</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idStatus" mode="label">现状</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idPoC" mode="label">联系方</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idPoC/rpIndName" mode="label">负责人姓名</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idPoC/rpOrgName" mode="label">单位名称</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idPoC/rpPosName" mode="label">职务</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idPoC/rpCntInfo" mode="label">联系信息</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idPoC/rpCntInfo/cntPhone" mode="label">电话</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idPoC/rpCntInfo/cntPhone/voiceNum" mode="label">电话号码</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idPoC/rpCntInfo/cntPhone/faxNum" mode="label">传真号码</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idPoC/rpCntInfo/cntAddress" mode="label">地址</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idPoC/rpCntInfo/cntAddress/delPoint" mode="label">详细地址</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idPoC/rpCntInfo/cntAddress/city" mode="label">城市</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idPoC/rpCntInfo/cntAddress/adminArea" mode="label">行政区</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idPoC/rpCntInfo/cntAddress/postCode" mode="label">邮政编码</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idPoC/rpCntInfo/cntAddress/country" mode="label">国家</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idPoC/rpCntInfo/cntAddress/eMailAdd" mode="label">电子邮件地址</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idPoC/rpCntInfo/cntOnlineRes" mode="label">在线资源</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idPoC/rpCntInfo/cntOnlineRes/linkage" mode="label">链接地址</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idPoC/rpCntInfo/cntOnlineRes/orFunct" mode="label">功能</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idPoC/rpCntInfo/cntHours" mode="label">服务时间</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idPoC/rpCntInfo/cntInstr" mode="label">联系说明</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idPoC/role" mode="label">职责</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/resMaint" mode="label">资源维护</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/resMaint/maintFreq" mode="label">维护和更新频率</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/resMaint/dateNext" mode="label">下次更新日期</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/resMaint/usrDefFreq" mode="label">用户定义的维护频率</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/resMaint/maintScp" mode="label">更新范围</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/resMaint/upScpDesc" mode="label">更新范围描述</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/resMaint/maintNote" mode="label">维护注释</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/resMaint/maintCont" mode="label">维护联系方</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/resMaint/maintCont/rpIndName" mode="label">负责人姓名</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/resMaint/maintCont/rpOrgName" mode="label">单位名称</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/resMaint/maintCont/rpPosName" mode="label">职务</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/resMaint/maintCont/role" mode="label">职责</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/graphOver" mode="label">图形概览</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/graphOver/bgFileName" mode="label">文件名</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/graphOver/bgFileDesc" mode="label">文件说明</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/graphOver/bgFileType" mode="label">文件类型</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/dsFormat" mode="label">资源格式</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/dsFormat/formatName" mode="label">格式名称</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/dsFormat/formatVer" mode="label">格式版本</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/dsFormat/formatAmdNum" mode="label">修订号</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/dsFormat/formatSpec" mode="label">格式规范</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/dsFormat/fileDecmTech" mode="label">文件解压缩技术</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/descKeys" mode="label">描述性关键词</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/descKeys/keyword" mode="label">关键词</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/descKeys/keyTyp" mode="label">关键词类型</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/descKeys/thesaName" mode="label">叙词表名称</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/descKeys/thesaName/resTitle" mode="label">名称</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/descKeys/thesaName/resRefDate" mode="label">引用日期</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/descKeys/thesaName/resRefDate/refDate" mode="label">日期</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/descKeys/thesaName/resRefDate/refDateType" mode="label">日期类型</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idSpecUse" mode="label">资源专用用途</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idSpecUse/specUsage" mode="label">专用用途</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idSpecUse/usageDate" mode="label">使用日期</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idSpecUse/usrDetLim" mode="label">用户确定的限制</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idSpecUse/usrCntInfo" mode="label">用户联系信息</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idSpecUse/usrCntInfo/rpIndName" mode="label">负责人姓名</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idSpecUse/usrCntInfo/rpOrgName" mode="label">单位名称</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idSpecUse/usrCntInfo/rpPosName" mode="label">职务</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idSpecUse/usrCntInfo/role" mode="label">职责</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/resConst" mode="label">资源限制</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/resConst/useLimit" mode="label">用途限制</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/resConst/LegConsts" mode="label">法律限制</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/resConst/LegConsts/accessConsts" mode="label">访问限制</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/resConst/LegConsts/useConsts" mode="label">使用限制</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/resConst/LegConsts/othConsts" mode="label">其他限制</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/resConst/SecConsts" mode="label">安全限制</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/resConst/SecConsts/class" mode="label">密级</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/resConst/SecConsts/userNote" mode="label">用户注释</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/resConst/SecConsts/classSys" mode="label">分级系统</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/resConst/SecConsts/handDesc" mode="label">处理说明</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/aggrInfo" mode="label">聚合信息</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/aggrInfo/aggrDSName" mode="label">聚合数据集名称</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/aggrInfo/aggrDSName/resTitle" mode="label">名称</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/aggrInfo/aggrDSName/resRefDate" mode="label">引用日期</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/aggrInfo/aggrDSName/resRefDate/refDate" mode="label">日期</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/aggrInfo/aggrDSName/resRefDate/refDateType" mode="label">日期类型</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/aggrInfo/aggrDSIdent" mode="label">聚合数据集标识符</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/aggrInfo/assocType" mode="label">关联类型</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/aggrInfo/initType" mode="label">倡议类型</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/spatRpType" mode="label">空间表示类型</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/dataScale" mode="label">空间分辨率</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/dataScale/equScale" mode="label">等效比例尺</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/dataScale/equScale/rfDenom" mode="label">比例尺分母</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/dataScale/scaleDist" mode="label">地面分辨率（米）</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/dataLang" mode="label">数据语种</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/dataChar" mode="label">数据字符集</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/tpCat" mode="label">专题类别</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/dataCat" mode="label">数据类别</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/envirDesc" mode="label">环境说明</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/geoBox" mode="label">地理边界框</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/geoBox/westBL" mode="label">西边经度</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/geoBox/eastBL" mode="label">东边经度</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/geoBox/southBL" mode="label">南边纬度</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/geoBox/northBL" mode="label">北边纬度</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/geoDesc" mode="label">地理描述</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/geoDesc/geoId" mode="label">地理标识符</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/dataExt" mode="label">范围</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/dataExt/exDesc" mode="label">范围描述</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/dataExt/tempEle" mode="label">时间范围</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/dataExt/tempEle/tmBegin" mode="label">起始时间</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/dataExt/tempEle/tmEnd" mode="label">终止时间</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/dataExt/vertEle" mode="label">垂向范围</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/dataExt/vertEle/vertMinVal" mode="label">最小值</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/dataExt/vertEle/vertMaxVal" mode="label">最大值</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/dataExt/vertEle/vertUoM" mode="label">计量单位</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/dataExt/vertEle/vertDatum" mode="label">垂向基准</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/suppInfo" mode="label">补充信息</xsl:template>
  <xsl:template match="/metadata/dqInfo" mode="label">数据质量信息</xsl:template>
  <xsl:template match="/metadata/dqInfo/dqScope" mode="label">质量范围</xsl:template>
  <xsl:template match="/metadata/dqInfo/dqScope/scpLvl" mode="label">层次级别</xsl:template>
  <xsl:template match="/metadata/dqInfo/dqScope/scpLvlDesc" mode="label">层次级别描述</xsl:template>
  <xsl:template match="/metadata/dqInfo/dqReport" mode="label">质量报告</xsl:template>
  <xsl:template match="/metadata/dqInfo/dqReport/measName" mode="label">测度名称</xsl:template>
  <xsl:template match="/metadata/dqInfo/dqReport/measId" mode="label">测度标识</xsl:template>
  <xsl:template match="/metadata/dqInfo/dqReport/measDesc" mode="label">测度描述</xsl:template>
  <xsl:template match="/metadata/dqInfo/dqReport/evalMethType" mode="label">评价方法类型</xsl:template>
  <xsl:template match="/metadata/dqInfo/dqReport/evalMethDesc" mode="label">评价方法描述</xsl:template>
  <xsl:template match="/metadata/dqInfo/dqReport/measDateTm" mode="label">评价日期</xsl:template>
  <xsl:template match="/metadata/dqInfo/dqReport/measResult" mode="label">质量结果</xsl:template>
  <xsl:template match="/metadata/dqInfo/dqReport/measResult/QuanResult" mode="label">定量结果</xsl:template>
  <xsl:template match="/metadata/dqInfo/dqReport/measResult/QuanResult/quanVal" mode="label">结果值</xsl:template>
  <xsl:template match="/metadata/dqInfo/dqReport/measResult/QuanResult/quanValUnit" mode="label">值单位</xsl:template>
  <xsl:template match="/metadata/dqInfo/dqReport/measResult/ConResult" mode="label">一致性结果</xsl:template>
  <xsl:template match="/metadata/dqInfo/dqReport/measResult/ConResult/conSpec" mode="label">规范</xsl:template>
  <xsl:template match="/metadata/dqInfo/dqReport/measResult/ConResult/conSpec/resTitle" mode="label">名称</xsl:template>
  <xsl:template match="/metadata/dqInfo/dqReport/measResult/ConResult/conSpec/resRefDate" mode="label">引用日期</xsl:template>
  <xsl:template match="/metadata/dqInfo/dqReport/measResult/ConResult/conSpec/resRefDate/refDate" mode="label">日期</xsl:template>
  <xsl:template match="/metadata/dqInfo/dqReport/measResult/ConResult/conSpec/resRefDate/refDateType" mode="label">日期类型</xsl:template>
  <xsl:template match="/metadata/dqInfo/dqReport/measResult/ConResult/conExpl" mode="label">结果说明</xsl:template>
  <xsl:template match="/metadata/dqInfo/dqReport/measResult/ConResult/conPass" mode="label">是否合格</xsl:template>
  <xsl:template match="/metadata/dqInfo/dataLineage" mode="label">数据志</xsl:template>
  <xsl:template match="/metadata/dqInfo/dataLineage/statement" mode="label">数据志说明</xsl:template>
  <xsl:template match="/metadata/dqInfo/dataLineage/prcStep" mode="label">处理步骤</xsl:template>
  <xsl:template match="/metadata/dqInfo/dataLineage/prcStep/stepDesc" mode="label">步骤描述</xsl:template>
  <xsl:template match="/metadata/dqInfo/dataLineage/prcStep/stepRat" mode="label">处理理由</xsl:template>
  <xsl:template match="/metadata/dqInfo/dataLineage/prcStep/stepDateTm" mode="label">处理时间</xsl:template>
  <xsl:template match="/metadata/dqInfo/dataLineage/prcStep/stepProc" mode="label">处理者</xsl:template>
  <xsl:template match="/metadata/dqInfo/dataLineage/prcStep/stepProc/rpIndName" mode="label">负责人姓名</xsl:template>
  <xsl:template match="/metadata/dqInfo/dataLineage/prcStep/stepProc/rpOrgName" mode="label">单位名称</xsl:template>
  <xsl:template match="/metadata/dqInfo/dataLineage/prcStep/stepProc/rpPosName" mode="label">职务</xsl:template>
  <xsl:template match="/metadata/dqInfo/dataLineage/prcStep/stepProc/role" mode="label">职责</xsl:template>
  <xsl:template match="/metadata/dqInfo/dataLineage/dataSource" mode="label">数据源</xsl:template>
  <xsl:template match="/metadata/dqInfo/dataLineage/dataSource/srcDesc" mode="label">数据源描述</xsl:template>
  <xsl:template match="/metadata/dqInfo/dataLineage/dataSource/srcScale" mode="label">数据源比例尺</xsl:template>
  <xsl:template match="/metadata/dqInfo/dataLineage/dataSource/srcScale/rfDenom" mode="label">比例尺分母</xsl:template>
  <xsl:template match="/metadata/dqInfo/dataLineage/dataSource/srcRefSys" mode="label">数据源参照系</xsl:template>
  <xsl:template match="/metadata/dqInfo/dataLineage/dataSource/srcCitatn" mode="label">数据源引用</xsl:template>
  <xsl:template match="/metadata/dqInfo/dataLineage/dataSource/srcCitatn/resTitle" mode="label">名称</xsl:template>
  <xsl:template match="/metadata/dqInfo/dataLineage/dataSource/srcCitatn/resRefDate" mode="label">引用日期</xsl:template>
  <xsl:template match="/metadata/dqInfo/dataLineage/dataSource/srcCitatn/resRefDate/refDate" mode="label">日期</xsl:template>
  <xsl:template match="/metadata/dqInfo/dataLineage/dataSource/srcCitatn/resRefDate/refDateType" mode="label">日期类型</xsl:template>
  <xsl:template match="/metadata/refSysInfo" mode="label">参照系信息</xsl:template>
  <xsl:template match="/metadata/refSysInfo/refSysID" mode="label">参照系标识符</xsl:template>
  <xsl:template match="/metadata/refSysInfo/refSysID/identCode" mode="label">代码</xsl:template>
  <xsl:template match="/metadata/refSysInfo/refSysID/codeSpace" mode="label">代码空间</xsl:template>
  <xsl:template match="/metadata/refSysInfo/refSysID/version" mode="label">版本</xsl:template>
  <xsl:template match="/metadata/refSysInfo/coordSys" mode="label">坐标系统</xsl:template>
  <xsl:template match="/metadata/refSysInfo/coordSys/coordSysName" mode="label">坐标系统名称</xsl:template>
  <xsl:template match="/metadata/refSysInfo/coordSys/ellipsoid" mode="label">椭球体</xsl:template>
  <xsl:template match="/metadata/refSysInfo/coordSys/ellParas" mode="label">椭球参数</xsl:template>
  <xsl:template match="/metadata/refSysInfo/coordSys/ellParas/semiMajAx" mode="label">长半轴</xsl:template>
  <xsl:template match="/metadata/refSysInfo/coordSys/ellParas/axisUnits" mode="label">轴单位</xsl:template>
  <xsl:template match="/metadata/refSysInfo/coordSys/ellParas/denFlatRat" mode="label">扁率分母</xsl:template>
  <xsl:template match="/metadata/refSysInfo/coordSys/projection" mode="label">投影名称</xsl:template>
  <xsl:template match="/metadata/refSysInfo/coordSys/projParas" mode="label">投影参数</xsl:template>
  <xsl:template match="/metadata/refSysInfo/coordSys/projParas/zone" mode="label">投影带号</xsl:template>
  <xsl:template match="/metadata/refSysInfo/coordSys/projParas/zoneWidth" mode="label">分带方式</xsl:template>
  <xsl:template match="/metadata/refSysInfo/coordSys/projParas/stanParal" mode="label">标准纬线</xsl:template>
  <xsl:template match="/metadata/refSysInfo/coordSys/projParas/longCntMer" mode="label">中央经线</xsl:template>
  <xsl:template match="/metadata/refSysInfo/coordSys/projParas/latProjOri" mode="label">投影原点纬度</xsl:template>
  <xsl:template match="/metadata/refSysInfo/coordSys/projParas/falEastng" mode="label">东伪偏移</xsl:template>
  <xsl:template match="/metadata/refSysInfo/coordSys/projParas/falNorthng" mode="label">北伪偏移</xsl:template>
  <xsl:template match="/metadata/refSysInfo/coordSys/projParas/falENUnits" mode="label">伪偏移单位</xsl:template>
  <xsl:template match="/metadata/refSysInfo/coordSys/projParas/sclFacPrOr" mode="label">投影原点比例因子</xsl:template>
  <xsl:template match="/metadata/refSysInfo/vertRefSys" mode="label">高程参照系</xsl:template>
  <xsl:template match="/metadata/refSysInfo/vertRefSys/vertDatum" mode="label">高程基准</xsl:template>
  <xsl:template match="/metadata/refSysInfo/vertRefSys/depthDatum" mode="label">深度基准</xsl:template>
  <xsl:template match="/metadata/refSysInfo/tempRefSys" mode="label">时间参照系</xsl:template>
  <xsl:template match="/metadata/refSysInfo/tempRefSys/stdTime" mode="label">时间基准</xsl:template>
  <xsl:template match="/metadata/refSysInfo/tempRefSys/calendar" mode="label">历法</xsl:template>
  <xsl:template match="/metadata/contInfo" mode="label">内容信息</xsl:template>
  <xsl:template match="/metadata/contInfo/FetCatDesc" mode="label">要素类型目录说明</xsl:template>
  <xsl:template match="/metadata/contInfo/FetCatDesc/compCode" mode="label">是否遵循ISO 19110</xsl:template>
  <xsl:template match="/metadata/contInfo/FetCatDesc/catLang" mode="label">目录语种</xsl:template>
  <xsl:template match="/metadata/contInfo/FetCatDesc/incWithDS" mode="label">是否随数据集提供</xsl:template>
  <xsl:template match="/metadata/contInfo/FetCatDesc/catFetTypes" mode="label">要素类型</xsl:template>
  <xsl:template match="/metadata/contInfo/FetCatDesc/catCitation" mode="label">要素类型目录引用</xsl:template>
  <xsl:template match="/metadata/contInfo/FetCatDesc/catCitation/resTitle" mode="label">名称</xsl:template>
  <xsl:template match="/metadata/contInfo/FetCatDesc/catCitation/resRefDate" mode="label">引用日期</xsl:template>
  <xsl:template match="/metadata/contInfo/FetCatDesc/catCitation/resRefDate/refDate" mode="label">日期</xsl:template>
  <xsl:template match="/metadata/contInfo/FetCatDesc/catCitation/resRefDate/refDateType" mode="label">日期类型</xsl:template>
  <xsl:template match="/metadata/contInfo/CovDesc" mode="label">覆盖说明</xsl:template>
  <xsl:template match="/metadata/contInfo/CovDesc/attDesc" mode="label">属性描述</xsl:template>
  <xsl:template match="/metadata/contInfo/CovDesc/contentTyp" mode="label">内容类型</xsl:template>
  <xsl:template match="/metadata/contInfo/CovDesc/covDim" mode="label">维</xsl:template>
  <xsl:template match="/metadata/contInfo/CovDesc/covDim/seqID" mode="label">序列标识</xsl:template>
  <xsl:template match="/metadata/contInfo/CovDesc/covDim/dimDescrp" mode="label">维描述</xsl:template>
  <xsl:template match="/metadata/contInfo/ImgDesc" mode="label">影像说明</xsl:template>
  <xsl:template match="/metadata/contInfo/ImgDesc/illElevAng" mode="label">光照高度角</xsl:template>
  <xsl:template match="/metadata/contInfo/ImgDesc/illAziAng" mode="label">光照方位角</xsl:template>
  <xsl:template match="/metadata/contInfo/ImgDesc/imagCond" mode="label">成像条件</xsl:template>
  <xsl:template match="/metadata/contInfo/ImgDesc/cloudCovPer" mode="label">云量百分比</xsl:template>
  <xsl:template match="/metadata/contInfo/ImgDesc/prcTypCde" mode="label">处理级别代码</xsl:template>
  <xsl:template match="/metadata/contInfo/ImgDesc/plaType" mode="label">平台类型</xsl:template>
  <xsl:template match="/metadata/contInfo/ImgDesc/plaName" mode="label">平台名称</xsl:template>
  <xsl:template match="/metadata/contInfo/ImgDesc/sensorName" mode="label">传感器名称</xsl:template>
  <xsl:template match="/metadata/contInfo/ImgDesc/attDesc" mode="label">属性描述</xsl:template>
  <xsl:template match="/metadata/contInfo/ImgDesc/contentTyp" mode="label">内容类型</xsl:template>
  <xsl:template match="/metadata/distInfo" mode="label">分发信息</xsl:template>
  <xsl:template match="/metadata/distInfo/distFormat" mode="label">分发格式</xsl:template>
  <xsl:template match="/metadata/distInfo/distFormat/formatName" mode="label">格式名称</xsl:template>
  <xsl:template match="/metadata/distInfo/distFormat/formatVer" mode="label">格式版本</xsl:template>
  <xsl:template match="/metadata/distInfo/distFormat/formatAmdNum" mode="label">修订号</xsl:template>
  <xsl:template match="/metadata/distInfo/distFormat/formatSpec" mode="label">格式规范</xsl:template>
  <xsl:template match="/metadata/distInfo/distFormat/fileDecmTech" mode="label">文件解压缩技术</xsl:template>
  <xsl:template match="/metadata/distInfo/distributor" mode="label">分发方</xsl:template>
  <xsl:template match="/metadata/distInfo/distributor/distorCont" mode="label">分发联系方</xsl:template>
  <xsl:template match="/metadata/distInfo/distributor/distorCont/rpIndName" mode="label">负责人姓名</xsl:template>
  <xsl:template match="/metadata/distInfo/distributor/distorCont/rpOrgName" mode="label">单位名称</xsl:template>
  <xsl:template match="/metadata/distInfo/distributor/distorCont/rpPosName" mode="label">职务</xsl:template>
  <xsl:template match="/metadata/distInfo/distributor/distorCont/rpCntInfo" mode="label">联系信息</xsl:template>
  <xsl:template match="/metadata/distInfo/distributor/distorCont/rpCntInfo/cntPhone" mode="label">电话</xsl:template>
  <xsl:template match="/metadata/distInfo/distributor/distorCont/rpCntInfo/cntPhone/voiceNum" mode="label">电话号码</xsl:template>
  <xsl:template match="/metadata/distInfo/distributor/distorCont/rpCntInfo/cntPhone/faxNum" mode="label">传真号码</xsl:template>
  <xsl:template match="/metadata/distInfo/distributor/distorCont/rpCntInfo/cntAddress" mode="label">地址</xsl:template>
  <xsl:template match="/metadata/distInfo/distributor/distorCont/rpCntInfo/cntAddress/delPoint" mode="label">详细地址</xsl:template>
  <xsl:template match="/metadata/distInfo/distributor/distorCont/rpCntInfo/cntAddress/city" mode="label">城市</xsl:template>
  <xsl:template match="/metadata/distInfo/distributor/distorCont/rpCntInfo/cntAddress/adminArea" mode="label">行政区</xsl:template>
  <xsl:template match="/metadata/distInfo/distributor/distorCont/rpCntInfo/cntAddress/postCode" mode="label">邮政编码</xsl:template>
  <xsl:template match="/metadata/distInfo/distributor/distorCont/rpCntInfo/cntAddress/country" mode="label">国家</xsl:template>
  <xsl:template match="/metadata/distInfo/distributor/distorCont/rpCntInfo/cntAddress/eMailAdd" mode="label">电子邮件地址</xsl:template>
  <xsl:template match="/metadata/distInfo/distributor/distorCont/rpCntInfo/cntOnlineRes" mode="label">在线资源</xsl:template>
  <xsl:template match="/metadata/distInfo/distributor/distorCont/rpCntInfo/cntOnlineRes/linkage" mode="label">链接地址</xsl:template>
  <xsl:template match="/metadata/distInfo/distributor/distorCont/rpCntInfo/cntOnlineRes/orFunct" mode="label">功能</xsl:template>
  <xsl:template match="/metadata/distInfo/distributor/distorCont/rpCntInfo/cntHours" mode="label">服务时间</xsl:template>
  <xsl:template match="/metadata/distInfo/distributor/distorCont/rpCntInfo/cntInstr" mode="label">联系说明</xsl:template>
  <xsl:template match="/metadata/distInfo/distributor/distorCont/role" mode="label">职责</xsl:template>
  <xsl:template match="/metadata/distInfo/distributor/distorOrdPrc" mode="label">订购程序</xsl:template>
  <xsl:template match="/metadata/distInfo/distributor/distorOrdPrc/resFees" mode="label">费用</xsl:template>
  <xsl:template match="/metadata/distInfo/distributor/distorOrdPrc/planAvDtTm" mode="label">计划可获得日期</xsl:template>
  <xsl:template match="/metadata/distInfo/distributor/distorOrdPrc/ordInstr" mode="label">订购说明</xsl:template>
  <xsl:template match="/metadata/distInfo/distributor/distorOrdPrc/ordTurn" mode="label">周转时间</xsl:template>
  <xsl:template match="/metadata/distInfo/distTranOps" mode="label">数字传输选项</xsl:template>
  <xsl:template match="/metadata/distInfo/distTranOps/unitsODist" mode="label">分发单位</xsl:template>
  <xsl:template match="/metadata/distInfo/distTranOps/transSize" mode="label">传输大小（MB）</xsl:template>
  <xsl:template match="/metadata/distInfo/distTranOps/onLineSrc" mode="label">在线资源</xsl:template>
  <xsl:template match="/metadata/distInfo/distTranOps/onLineSrc/linkage" mode="label">链接地址</xsl:template>
  <xsl:template match="/metadata/distInfo/distTranOps/onLineSrc/protocol" mode="label">协议</xsl:template>
  <xsl:template match="/metadata/distInfo/distTranOps/onLineSrc/appProfile" mode="label">应用轮廓</xsl:template>
  <xsl:template match="/metadata/distInfo/distTranOps/onLineSrc/orName" mode="label">名称</xsl:template>
  <xsl:template match="/metadata/distInfo/distTranOps/onLineSrc/orDesc" mode="label">描述</xsl:template>
  <xsl:template match="/metadata/distInfo/distTranOps/onLineSrc/orFunct" mode="label">功能</xsl:template>
  <xsl:template match="/metadata/distInfo/distTranOps/offLineMed" mode="label">离线介质</xsl:template>
  <xsl:template match="/metadata/distInfo/distTranOps/offLineMed/medName" mode="label">介质名称</xsl:template>
  <xsl:template match="/metadata/distInfo/distTranOps/offLineMed/medDensity" mode="label">记录密度</xsl:template>
  <xsl:template match="/metadata/distInfo/distTranOps/offLineMed/medDenUnits" mode="label">密度单位</xsl:template>
  <xsl:template match="/metadata/distInfo/distTranOps/offLineMed/medVol" mode="label">卷数</xsl:template>
  <xsl:template match="/metadata/distInfo/distTranOps/offLineMed/medFormat" mode="label">介质格式</xsl:template>
  <xsl:template match="/metadata/distInfo/distTranOps/offLineMed/medNote" mode="label">介质说明</xsl:template>
  <xsl:template match="/metadata/mdFileID" mode="label">元数据文件标识符</xsl:template>
  <xsl:template match="/metadata/mdLang" mode="label">元数据语种</xsl:template>
  <xsl:template match="/metadata/mdChar" mode="label">元数据字符集</xsl:template>
  <xsl:template match="/metadata/mdParentID" mode="label">父元数据文件标识符</xsl:template>
  <xsl:template match="/metadata/mdHrLv" mode="label">层次级别</xsl:template>
  <xsl:template match="/metadata/mdHrLvName" mode="label">层次级别名称</xsl:template>
  <xsl:template match="/metadata/mdContact" mode="label">元数据联系方</xsl:template>
  <xsl:template match="/metadata/mdContact/rpIndName" mode="label">负责人姓名</xsl:template>
  <xsl:template match="/metadata/mdContact/rpOrgName" mode="label">单位名称</xsl:template>
  <xsl:template match="/metadata/mdContact/rpPosName" mode="label">职务</xsl:template>
  <xsl:template match="/metadata/mdContact/rpCntInfo" mode="label">联系信息</xsl:template>
  <xsl:template match="/metadata/mdContact/rpCntInfo/cntPhone" mode="label">电话</xsl:template>
  <xsl:template match="/metadata/mdContact/rpCntInfo/cntPhone/voiceNum" mode="label">电话号码</xsl:template>
  <xsl:template match="/metadata/mdContact/rpCntInfo/cntPhone/faxNum" mode="label">传真号码</xsl:template>
  <xsl:template match="/metadata/mdContact/rpCntInfo/cntAddress" mode="label">地址</xsl:template>
  <xsl:template match="/metadata/mdContact/rpCntInfo/cntAddress/delPoint" mode="label">详细地址</xsl:template>
  <xsl:template match="/metadata/mdContact/rpCntInfo/cntAddress/city" mode="label">城市</xsl:template>
  <xsl:template match="/metadata/mdContact/rpCntInfo/cntAddress/adminArea" mode="label">行政区</xsl:template>
  <xsl:template match="/metadata/mdContact/rpCntInfo/cntAddress/postCode" mode="label">邮政编码</xsl:template>
  <xsl:template match="/metadata/mdContact/rpCntInfo/cntAddress/country" mode="label">国家</xsl:template>
  <xsl:template match="/metadata/mdContact/rpCntInfo/cntAddress/eMailAdd" mode="label">电子邮件地址</xsl:template>
  <xsl:template match="/metadata/mdContact/rpCntInfo/cntOnlineRes" mode="label">在线资源</xsl:template>
  <xsl:template match="/metadata/mdContact/rpCntInfo/cntOnlineRes/linkage" mode="label">链接地址</xsl:template>
  <xsl:template match="/metadata/mdContact/rpCntInfo/cntOnlineRes/orFunct" mode="label">功能</xsl:template>
  <xsl:template match="/metadata/mdContact/rpCntInfo/cntHours" mode="label">服务时间</xsl:template>
  <xsl:template match="/metadata/mdContact/rpCntInfo/cntInstr" mode="label">联系说明</xsl:template>
  <xsl:template match="/metadata/mdContact/role" mode="label">职责</xsl:template>
  <xsl:template match="/metadata/mdDateSt" mode="label">元数据日期</xsl:template>
  <xsl:template match="/metadata/mdStanName" mode="label">元数据标准名称</xsl:template>
  <xsl:template match="/metadata/mdStanVer" mode="label">元数据标准版本</xsl:template>
  <xsl:template match="/metadata/mdMaint" mode="label">元数据维护</xsl:template>
  <xsl:template match="/metadata/mdMaint/maintFreq" mode="label">维护和更新频率</xsl:template>
  <xsl:template match="/metadata/mdMaint/dateNext" mode="label">下次更新日期</xsl:template>
  <xsl:template match="/metadata/mdMaint/usrDefFreq" mode="label">用户定义的维护频率</xsl:template>
  <xsl:template match="/metadata/mdMaint/maintScp" mode="label">更新范围</xsl:template>
  <xsl:template match="/metadata/mdMaint/upScpDesc" mode="label">更新范围描述</xsl:template>
  <xsl:template match="/metadata/mdMaint/maintNote" mode="label">维护注释</xsl:template>
  <xsl:template match="/metadata/mdMaint/maintCont" mode="label">维护联系方</xsl:template>
  <xsl:template match="/metadata/mdMaint/maintCont/rpIndName" mode="label">负责人姓名</xsl:template>
  <xsl:template match="/metadata/mdMaint/maintCont/rpOrgName" mode="label">单位名称</xsl:template>
  <xsl:template match="/metadata/mdMaint/maintCont/rpPosName" mode="label">职务</xsl:template>
  <xsl:template match="/metadata/mdMaint/maintCont/role" mode="label">职责</xsl:template>
  <xsl:template match="/metadata/mdConst" mode="label">元数据限制</xsl:template>
  <xsl:template match="/metadata/mdConst/useLimit" mode="label">用途限制</xsl:template>
  <xsl:template match="/metadata/mdConst/LegConsts" mode="label">法律限制</xsl:template>
  <xsl:template match="/metadata/mdConst/LegConsts/accessConsts" mode="label">访问限制</xsl:template>
  <xsl:template match="/metadata/mdConst/LegConsts/useConsts" mode="label">使用限制</xsl:template>
  <xsl:template match="/metadata/mdConst/LegConsts/othConsts" mode="label">其他限制</xsl:template>
  <xsl:template match="/metadata/mdConst/SecConsts" mode="label">安全限制</xsl:template>
  <xsl:template match="/metadata/mdConst/SecConsts/class" mode="label">密级</xsl:template>
  <xsl:template match="/metadata/mdConst/SecConsts/userNote" mode="label">用户注释</xsl:template>
  <xsl:template match="/metadata/mdConst/SecConsts/classSys" mode="label">分级系统</xsl:template>
  <xsl:template match="/metadata/mdConst/SecConsts/handDesc" mode="label">处理说明</xsl:template>
  <xsl:template match="/metadata/spatRepInfo" mode="label">空间表示信息</xsl:template>
  <xsl:template match="/metadata/spatRepInfo/VectSpatRep" mode="label">矢量空间表示</xsl:template>
  <xsl:template match="/metadata/spatRepInfo/VectSpatRep/topLvl" mode="label">拓扑级别</xsl:template>
  <xsl:template match="/metadata/spatRepInfo/VectSpatRep/geometObjs" mode="label">几何对象</xsl:template>
  <xsl:template match="/metadata/spatRepInfo/VectSpatRep/geometObjs/geoObjTyp" mode="label">几何对象类型</xsl:template>
  <xsl:template match="/metadata/spatRepInfo/VectSpatRep/geometObjs/geoObjCnt" mode="label">几何对象数目</xsl:template>
  <xsl:template match="/metadata/spatRepInfo/GridSpatRep" mode="label">格网空间表示</xsl:template>
  <xsl:template match="/metadata/spatRepInfo/GridSpatRep/numDims" mode="label">维数</xsl:template>
  <xsl:template match="/metadata/spatRepInfo/GridSpatRep/axDimProps" mode="label">轴维属性</xsl:template>
  <xsl:template match="/metadata/spatRepInfo/GridSpatRep/axDimProps/dimName" mode="label">维名称</xsl:template>
  <xsl:template match="/metadata/spatRepInfo/GridSpatRep/axDimProps/dimSize" mode="label">维大小</xsl:template>
  <xsl:template match="/metadata/spatRepInfo/GridSpatRep/axDimProps/dimResol" mode="label">分辨率</xsl:template>
  <xsl:template match="/metadata/spatRepInfo/GridSpatRep/cellGeo" mode="label">单元几何类型</xsl:template>
  <xsl:template match="/metadata/spatRepInfo/GridSpatRep/tranParaAv" mode="label">变换参数可用性</xsl:template>
  <xsl:template match="/metadata/porCatInfo" mode="label">图示表达目录信息</xsl:template>
  <xsl:template match="/metadata/porCatInfo/portCatCit" mode="label">图示表达目录引用</xsl:template>
  <xsl:template match="/metadata/porCatInfo/portCatCit/resTitle" mode="label">名称</xsl:template>
  <xsl:template match="/metadata/porCatInfo/portCatCit/resRefDate" mode="label">引用日期</xsl:template>
  <xsl:template match="/metadata/porCatInfo/portCatCit/resRefDate/refDate" mode="label">日期</xsl:template>
  <xsl:template match="/metadata/porCatInfo/portCatCit/resRefDate/refDateType" mode="label">日期类型</xsl:template>
  <xsl:template match="/metadata/appSchInfo" mode="label">应用模式信息</xsl:template>
  <xsl:template match="/metadata/appSchInfo/asName" mode="label">应用模式名称</xsl:template>
  <xsl:template match="/metadata/appSchInfo/asName/resTitle" mode="label">名称</xsl:template>
  <xsl:template match="/metadata/appSchInfo/asName/resRefDate" mode="label">引用日期</xsl:template>
  <xsl:template match="/metadata/appSchInfo/asName/resRefDate/refDate" mode="label">日期</xsl:template>
  <xsl:template match="/metadata/appSchInfo/asName/resRefDate/refDateType" mode="label">日期类型</xsl:template>
  <xsl:template match="/metadata/appSchInfo/asSchLang" mode="label">模式语言</xsl:template>
  <xsl:template match="/metadata/appSchInfo/asCstLang" mode="label">约束语言</xsl:template>
  <xsl:template match="/metadata/appSchInfo/asAscii" mode="label">模式文本</xsl:template>
  <xsl:template match="/metadata/appSchInfo/asGraFile" mode="label">模式图形文件</xsl:template>
  <xsl:template match="/metadata/appSchInfo/asSwDevFile" mode="label">软件开发文件</xsl:template>
  <xsl:template match="/metadata/appSchInfo/asSwDevFiFt" mode="label">软件开发文件格式</xsl:template>
  <xsl:template match="/metadata/mdExtInfo" mode="label">元数据扩展信息</xsl:template>
  <xsl:template match="/metadata/mdExtInfo/extOnRes" mode="label">扩展在线资源</xsl:template>
  <xsl:template match="/metadata/mdExtInfo/extOnRes/linkage" mode="label">链接地址</xsl:template>
  <xsl:template match="/metadata/mdExtInfo/extOnRes/protocol" mode="label">协议</xsl:template>
  <xsl:template match="/metadata/mdExtInfo/extOnRes/appProfile" mode="label">应用轮廓</xsl:template>
  <xsl:template match="/metadata/mdExtInfo/extOnRes/orName" mode="label">名称</xsl:template>
  <xsl:template match="/metadata/mdExtInfo/extOnRes/orDesc" mode="label">描述</xsl:template>
  <xsl:template match="/metadata/mdExtInfo/extOnRes/orFunct" mode="label">功能</xsl:template>

  <!-- Chinese names of the codes, by code list and code. -->
  <xsl:template match="languageCode[@value='ara']" mode="code-name">阿拉伯语</xsl:template>
  <xsl:template match="languageCode[@value='chi']" mode="code-name">汉语</xsl:template>
  <xsl:template match="languageCode[@value='eng']" mode="code-name">英语</xsl:template>
  <xsl:template match="languageCode[@value='fre']" mode="code-name">法语</xsl:template>
  <xsl:template match="languageCode[@value='ger']" mode="code-name">德语</xsl:template>
  <xsl:template match="languageCode[@value='iii']" mode="code-name">彝语</xsl:template>
  <xsl:template match="languageCode[@value='ita']" mode="code-name">意大利语</xsl:template>
  <xsl:template match="languageCode[@value='jpn']" mode="code-name">日语</xsl:template>
  <xsl:template match="languageCode[@value='kaz']" mode="code-name">哈萨克语</xsl:template>
  <xsl:template match="languageCode[@value='kir']" mode="code-name">柯尔克孜语</xsl:template>
  <xsl:template match="languageCode[@value='kor']" mode="code-name">朝鲜语</xsl:template>
  <xsl:template match="languageCode[@value='mon']" mode="code-name">蒙古语</xsl:template>
  <xsl:template match="languageCode[@value='por']" mode="code-name">葡萄牙语</xsl:template>
  <xsl:template match="languageCode[@value='rus']" mode="code-name">俄语</xsl:template>
  <xsl:template match="languageCode[@value='spa']" mode="code-name">西班牙语</xsl:template>
  <xsl:template match="languageCode[@value='tha']" mode="code-name">泰语</xsl:template>
  <xsl:template match="languageCode[@value='tib']" mode="code-name">藏语</xsl:template>
  <xsl:template match="languageCode[@value='uig']" mode="code-name">维吾尔语</xsl:template>
  <xsl:template match="languageCode[@value='vie']" mode="code-name">越南语</xsl:template>
  <xsl:template match="languageCode[@value='zha']" mode="code-name">壮语</xsl:template>
  <xsl:template match="CharSetCd[@value='001']" mode="code-name">16位定长通用字符集</xsl:template>
  <xsl:template match="CharSetCd[@value='002']" mode="code-name">32位定长通用字符集</xsl:template>
  <xsl:template match="CharSetCd[@value='003']" mode="code-name">7位变长UCS转换格式</xsl:template>
  <xsl:template match="CharSetCd[@value='004']" mode="code-name">8位变长UCS转换格式</xsl:template>
  <xsl:template match="CharSetCd[@value='005']" mode="code-name">16位变长UCS转换格式</xsl:template>
  <xsl:template match="CharSetCd[@value='006']" mode="code-name">ISO/IEC 8859-1 西欧拉丁字母</xsl:template>
  <xsl:template match="CharSetCd[@value='007']" mode="code-name">ISO/IEC 8859-2 中欧拉丁字母</xsl:template>
  <xsl:template match="CharSetCd[@value='008']" mode="code-name">ISO/IEC 8859-3 南欧拉丁字母</xsl:template>
  <xsl:template match="CharSetCd[@value='009']" mode="code-name">ISO/IEC 8859-4 北欧拉丁字母</xsl:template>
  <xsl:template match="CharSetCd[@value='010']" mode="code-name">ISO/IEC 8859-5 拉丁/西里尔字母</xsl:template>
  <xsl:template match="CharSetCd[@value='011']" mode="code-name">ISO/IEC 8859-6 拉丁/阿拉伯字母</xsl:template>
  <xsl:template match="CharSetCd[@value='012']" mode="code-name">ISO/IEC 8859-7 拉丁/希腊字母</xsl:template>
  <xsl:template match="CharSetCd[@value='013']" mode="code-name">ISO/IEC 8859-8 拉丁/希伯来字母</xsl:template>
  <xsl:template match="CharSetCd[@value='014']" mode="code-name">ISO/IEC 8859-9 拉丁字母第5部分</xsl:template>
  <xsl:template match="CharSetCd[@value='015']" mode="code-name">ISO/IEC 8859-10 拉丁字母第6部分</xsl:template>
  <xsl:template match="CharSetCd[@value='016']" mode="code-name">ISO/IEC 8859-11 拉丁/泰文字母</xsl:template>
  <xsl:template match="CharSetCd[@value='018']" mode="code-name">ISO/IEC 8859-13 拉丁字母第7部分</xsl:template>
  <xsl:template match="CharSetCd[@value='019']" mode="code-name">ISO/IEC 8859-14 拉丁字母第8部分（凯尔特）</xsl:template>
  <xsl:template match="CharSetCd[@value='020']" mode="code-name">ISO/IEC 8859-15 拉丁字母第9部分</xsl:template>
  <xsl:template match="CharSetCd[@value='021']" mode="code-name">ISO/IEC 8859-16 拉丁字母第10部分</xsl:template>
  <xsl:template match="CharSetCd[@value='022']" mode="code-name">日本字符编码（JIS）</xsl:template>
  <xsl:template match="CharSetCd[@value='023']" mode="code-name">日本Shift-JIS编码</xsl:template>
  <xsl:template match="CharSetCd[@value='024']" mode="code-name">日本EUC编码</xsl:template>
  <xsl:template match="CharSetCd[@value='025']" mode="code-name">美国信息交换标准码（ASCII）</xsl:template>
  <xsl:template match="CharSetCd[@value='026']" mode="code-name">IBM大型机EBCDIC编码</xsl:template>
  <xsl:template match="CharSetCd[@value='027']" mode="code-name">韩国EUC编码</xsl:template>
  <xsl:template match="CharSetCd[@value='028']" mode="code-name">繁体中文BIG5编码</xsl:template>
  <xsl:template match="CharSetCd[@value='029']" mode="code-name">简体中文GB 2312编码</xsl:template>
  <xsl:template match="DateTypCd[@value='001']" mode="code-name">创建</xsl:template>
  <xsl:template match="DateTypCd[@value='002']" mode="code-name">出版</xsl:template>
  <xsl:template match="DateTypCd[@value='003']" mode="code-name">修订</xsl:template>
  <xsl:template match="RoleCd[@value='001']" mode="code-name">资源提供者</xsl:template>
  <xsl:template match="RoleCd[@value='002']" mode="code-name">管理者</xsl:template>
  <xsl:template match="RoleCd[@value='003']" mode="code-name">拥有者</xsl:template>
  <xsl:template match="RoleCd[@value='004']" mode="code-name">用户</xsl:template>
  <xsl:template match="RoleCd[@value='005']" mode="code-name">分发者</xsl:template>
  <xsl:template match="RoleCd[@value='006']" mode="code-name">创建者</xsl:template>
  <xsl:template match="RoleCd[@value='007']" mode="code-name">联系人</xsl:template>
  <xsl:template match="RoleCd[@value='008']" mode="code-name">主要调查者</xsl:template>
  <xsl:template match="RoleCd[@value='009']" mode="code-name">处理者</xsl:template>
  <xsl:template match="RoleCd[@value='010']" mode="code-name">出版者</xsl:template>
  <xsl:template match="RoleCd[@value='011']" mode="code-name">作者</xsl:template>
  <xsl:template match="PresFormCd[@value='001']" mode="code-name">数字文档</xsl:template>
  <xsl:template match="PresFormCd[@value='002']" mode="code-name">硬拷贝文档</xsl:template>
  <xsl:template match="PresFormCd[@value='003']" mode="code-name">数字图像</xsl:template>
  <xsl:template match="PresFormCd[@value='004']" mode="code-name">硬拷贝图像</xsl:template>
  <xsl:template match="PresFormCd[@value='005']" mode="code-name">数字地图</xsl:template>
  <xsl:template match="PresFormCd[@value='006']" mode="code-name">硬拷贝地图</xsl:template>
  <xsl:template match="PresFormCd[@value='007']" mode="code-name">数字模型</xsl:template>
  <xsl:template match="PresFormCd[@value='008']" mode="code-name">硬拷贝模型</xsl:template>
  <xsl:template match="PresFormCd[@value='009']" mode="code-name">数字剖面</xsl:template>
  <xsl:template match="PresFormCd[@value='010']" mode="code-name">硬拷贝剖面</xsl:template>
  <xsl:template match="PresFormCd[@value='011']" mode="code-name">数字表格</xsl:template>
  <xsl:template match="PresFormCd[@value='012']" mode="code-name">硬拷贝表格</xsl:template>
  <xsl:template match="PresFormCd[@value='013']" mode="code-name">数字视频</xsl:template>
  <xsl:template match="PresFormCd[@value='014']" mode="code-name">硬拷贝视频</xsl:template>
  <xsl:template match="ProgCd[@value='001']" mode="code-name">完成</xsl:template>
  <xsl:template match="ProgCd[@value='002']" mode="code-name">历史存档</xsl:template>
  <xsl:template match="ProgCd[@value='003']" mode="code-name">废弃</xsl:template>
  <xsl:template match="ProgCd[@value='004']" mode="code-name">持续更新</xsl:template>
  <xsl:template match="ProgCd[@value='005']" mode="code-name">计划中</xsl:template>
  <xsl:template match="ProgCd[@value='006']" mode="code-name">需要</xsl:template>
  <xsl:template match="ProgCd[@value='007']" mode="code-name">正在建设</xsl:template>
  <xsl:template match="SpatRepTypCd[@value='001']" mode="code-name">矢量</xsl:template>
  <xsl:template match="SpatRepTypCd[@value='002']" mode="code-name">格网</xsl:template>
  <xsl:template match="SpatRepTypCd[@value='003']" mode="code-name">文本表格</xsl:template>
  <xsl:template match="SpatRepTypCd[@value='004']" mode="code-name">不规则三角网</xsl:template>
  <xsl:template match="SpatRepTypCd[@value='005']" mode="code-name">立体模型</xsl:template>
  <xsl:template match="SpatRepTypCd[@value='006']" mode="code-name">视频</xsl:template>
  <xsl:template match="TopicCatCd[@value='001']" mode="code-name">农业</xsl:template>
  <xsl:template match="TopicCatCd[@value='002']" mode="code-name">生物</xsl:template>
  <xsl:template match="TopicCatCd[@value='003']" mode="code-name">边界</xsl:template>
  <xsl:template match="TopicCatCd[@value='004']" mode="code-name">气候、气象和大气</xsl:template>
  <xsl:template match="TopicCatCd[@value='005']" mode="code-name">经济</xsl:template>
  <xsl:template match="TopicCatCd[@value='006']" mode="code-name">高程</xsl:template>
  <xsl:template match="TopicCatCd[@value='007']" mode="code-name">环境</xsl:template>
  <xsl:template match="TopicCatCd[@value='008']" mode="code-name">地球科学信息</xsl:template>
  <xsl:template match="TopicCatCd[@value='009']" mode="code-name">健康</xsl:template>
  <xsl:template match="TopicCatCd[@value='010']" mode="code-name">影像、基础地图和地表覆盖</xsl:template>
  <xsl:template match="TopicCatCd[@value='011']" mode="code-name">军事情报</xsl:template>
  <xsl:template match="TopicCatCd[@value='012']" mode="code-name">内陆水域</xsl:template>
  <xsl:template match="TopicCatCd[@value='013']" mode="code-name">位置</xsl:template>
  <xsl:template match="TopicCatCd[@value='014']" mode="code-name">海洋</xsl:template>
  <xsl:template match="TopicCatCd[@value='015']" mode="code-name">规划和地籍</xsl:template>
  <xsl:template match="TopicCatCd[@value='016']" mode="code-name">社会</xsl:template>
  <xsl:template match="TopicCatCd[@value='017']" mode="code-name">建筑物和构筑物</xsl:template>
  <xsl:template match="TopicCatCd[@value='018']" mode="code-name">交通</xsl:template>
  <xsl:template match="TopicCatCd[@value='019']" mode="code-name">公用设施和通信</xsl:template>
  <xsl:template match="DataCatCd[@value='001']" mode="code-name">区域地质</xsl:template>
  <xsl:template match="DataCatCd[@value='002']" mode="code-name">矿产地质</xsl:template>
  <xsl:template match="DataCatCd[@value='003']" mode="code-name">水文地质</xsl:template>
  <xsl:template match="DataCatCd[@value='004']" mode="code-name">工程地质</xsl:template>
  <xsl:template match="DataCatCd[@value='005']" mode="code-name">环境地质</xsl:template>
  <xsl:template match="DataCatCd[@value='006']" mode="code-name">地质灾害</xsl:template>
  <xsl:template match="DataCatCd[@value='007']" mode="code-name">地球物理</xsl:template>
  <xsl:template match="DataCatCd[@value='008']" mode="code-name">地球化学</xsl:template>
  <xsl:template match="DataCatCd[@value='009']" mode="code-name">遥感地质</xsl:template>
  <xsl:template match="DataCatCd[@value='010']" mode="code-name">海洋地质</xsl:template>
  <xsl:template match="DataCatCd[@value='011']" mode="code-name">农业地质</xsl:template>
  <xsl:template match="DataCatCd[@value='012']" mode="code-name">城市地质</xsl:template>
  <xsl:template match="DataCatCd[@value='013']" mode="code-name">钻探</xsl:template>
  <xsl:template match="DataCatCd[@value='014']" mode="code-name">实物地质资料</xsl:template>
  <xsl:template match="DataCatCd[@value='015']" mode="code-name">综合研究</xsl:template>
  <xsl:template match="DataCatCd[@value='016']" mode="code-name">基础地理</xsl:template>
  <xsl:template match="DataCatCd[@value='999']" mode="code-name">其他</xsl:template>
  <xsl:template match="VertDatumCd[@value='001']" mode="code-name">1956年黄海高程系</xsl:template>
  <xsl:template match="VertDatumCd[@value='002']" mode="code-name">1985国家高程基准</xsl:template>
  <xsl:template match="VertDatumCd[@value='003']" mode="code-name">吴淞高程基准</xsl:template>
  <xsl:template match="VertDatumCd[@value='004']" mode="code-name">珠江高程基准</xsl:template>
  <xsl:template match="VertDatumCd[@value='005']" mode="code-name">大沽高程基准</xsl:template>
  <xsl:template match="VertDatumCd[@value='006']" mode="code-name">废黄河高程基准</xsl:template>
  <xsl:template match="VertDatumCd[@value='007']" mode="code-name">地方（假定）高程系</xsl:template>
  <xsl:template match="VertDatumCd[@value='008']" mode="code-name">大地高（椭球高）</xsl:template>
  <xsl:template match="VertDatumCd[@value='009']" mode="code-name">理论深度基准面</xsl:template>
  <xsl:template match="VertDatumCd[@value='999']" mode="code-name">其他</xsl:template>
  <xsl:template match="StdTimeCd[@value='001']" mode="code-name">北京时间（UTC+8）</xsl:template>
  <xsl:template match="StdTimeCd[@value='002']" mode="code-name">协调世界时</xsl:template>
  <xsl:template match="StdTimeCd[@value='003']" mode="code-name">格林尼治平时</xsl:template>
  <xsl:template match="StdTimeCd[@value='004']" mode="code-name">地方时</xsl:template>
  <xsl:template match="StdTimeCd[@value='005']" mode="code-name">GPS时</xsl:template>
  <xsl:template match="StdTimeCd[@value='006']" mode="code-name">北斗时</xsl:template>
  <xsl:template match="StdTimeCd[@value='999']" mode="code-name">其他</xsl:template>
  <xsl:template match="MaintFreqCd[@value='001']" mode="code-name">连续</xsl:template>
  <xsl:template match="MaintFreqCd[@value='002']" mode="code-name">每日</xsl:template>
  <xsl:template match="MaintFreqCd[@value='003']" mode="code-name">每周</xsl:template>
  <xsl:template match="MaintFreqCd[@value='004']" mode="code-name">每两周</xsl:template>
  <xsl:template match="MaintFreqCd[@value='005']" mode="code-name">每月</xsl:template>
  <xsl:template match="MaintFreqCd[@value='006']" mode="code-name">每季度</xsl:template>
  <xsl:template match="MaintFreqCd[@value='007']" mode="code-name">每半年</xsl:template>
  <xsl:template match="MaintFreqCd[@value='008']" mode="code-name">每年</xsl:template>
  <xsl:template match="MaintFreqCd[@value='009']" mode="code-name">根据需要</xsl:template>
  <xsl:template match="MaintFreqCd[@value='010']" mode="code-name">不定期</xsl:template>
  <xsl:template match="MaintFreqCd[@value='011']" mode="code-name">无计划</xsl:template>
  <xsl:template match="MaintFreqCd[@value='998']" mode="code-name">未知</xsl:template>
  <xsl:template match="KeyTypCd[@value='001']" mode="code-name">学科</xsl:template>
  <xsl:template match="KeyTypCd[@value='002']" mode="code-name">地名</xsl:template>
  <xsl:template match="KeyTypCd[@value='003']" mode="code-name">地层</xsl:template>
  <xsl:template match="KeyTypCd[@value='004']" mode="code-name">时间</xsl:template>
  <xsl:template match="KeyTypCd[@value='005']" mode="code-name">主题</xsl:template>
  <xsl:template match="RestrictCd[@value='001']" mode="code-name">版权</xsl:template>
  <xsl:template match="RestrictCd[@value='002']" mode="code-name">专利</xsl:template>
  <xsl:template match="RestrictCd[@value='003']" mode="code-name">专利申请中</xsl:template>
  <xsl:template match="RestrictCd[@value='004']" mode="code-name">商标</xsl:template>
  <xsl:template match="RestrictCd[@value='005']" mode="code-name">许可证</xsl:template>
  <xsl:template match="RestrictCd[@value='006']" mode="code-name">知识产权</xsl:template>
  <xsl:template match="RestrictCd[@value='007']" mode="code-name">受限</xsl:template>
  <xsl:template match="RestrictCd[@value='008']" mode="code-name">其他限制</xsl:template>
  <xsl:template match="PlatTypCd[@value='001']" mode="code-name">卫星</xsl:template>
  <xsl:template match="PlatTypCd[@value='002']" mode="code-name">空间站/航天器</xsl:template>
  <xsl:template match="PlatTypCd[@value='003']" mode="code-name">有人驾驶飞机</xsl:template>
  <xsl:template match="PlatTypCd[@value='004']" mode="code-name">无人机</xsl:template>
  <xsl:template match="PlatTypCd[@value='005']" mode="code-name">气球/飞艇</xsl:template>
  <xsl:template match="PlatTypCd[@value='006']" mode="code-name">船舶</xsl:template>
  <xsl:template match="PlatTypCd[@value='007']" mode="code-name">车载</xsl:template>
  <xsl:template match="PlatTypCd[@value='008']" mode="code-name">地面固定站</xsl:template>
  <xsl:template match="PlatTypCd[@value='009']" mode="code-name">钻孔（井中）</xsl:template>
  <xsl:template match="PlatTypCd[@value='010']" mode="code-name">水下</xsl:template>
  <xsl:template match="PlatTypCd[@value='999']" mode="code-name">其他</xsl:template>
  <xsl:template match="AscTypeCd[@value='001']" mode="code-name">交叉引用</xsl:template>
  <xsl:template match="AscTypeCd[@value='002']" mode="code-name">所属上级成果引用</xsl:template>
  <xsl:template match="AscTypeCd[@value='003']" mode="code-name">无缝数据库的一部分</xsl:template>
  <xsl:template match="AscTypeCd[@value='004']" mode="code-name">数据源</xsl:template>
  <xsl:template match="AscTypeCd[@value='005']" mode="code-name">立体像对</xsl:template>
  <xsl:template match="ScopeCd[@value='001']" mode="code-name">属性</xsl:template>
  <xsl:template match="ScopeCd[@value='002']" mode="code-name">属性类型</xsl:template>
  <xsl:template match="ScopeCd[@value='003']" mode="code-name">采集硬件</xsl:template>
  <xsl:template match="ScopeCd[@value='004']" mode="code-name">采集会话</xsl:template>
  <xsl:template match="ScopeCd[@value='005']" mode="code-name">数据集</xsl:template>
  <xsl:template match="ScopeCd[@value='006']" mode="code-name">数据集系列</xsl:template>
  <xsl:template match="ScopeCd[@value='007']" mode="code-name">非地理数据集</xsl:template>
  <xsl:template match="ScopeCd[@value='008']" mode="code-name">维组</xsl:template>
  <xsl:template match="ScopeCd[@value='009']" mode="code-name">要素</xsl:template>
  <xsl:template match="ScopeCd[@value='010']" mode="code-name">要素类型</xsl:template>
  <xsl:template match="ScopeCd[@value='011']" mode="code-name">特性类型</xsl:template>
  <xsl:template match="ScopeCd[@value='012']" mode="code-name">野外会话</xsl:template>
  <xsl:template match="ScopeCd[@value='013']" mode="code-name">软件</xsl:template>
  <xsl:template match="ScopeCd[@value='014']" mode="code-name">服务</xsl:template>
  <xsl:template match="ScopeCd[@value='015']" mode="code-name">模型</xsl:template>
  <xsl:template match="ScopeCd[@value='016']" mode="code-name">图块</xsl:template>
  <xsl:template match="CoordSysCd[@value='001']" mode="code-name">1954北京坐标系</xsl:template>
  <xsl:template match="CoordSysCd[@value='002']" mode="code-name">1980西安坐标系</xsl:template>
  <xsl:template match="CoordSysCd[@value='003']" mode="code-name">新1954北京坐标系</xsl:template>
  <xsl:template match="CoordSysCd[@value='004']" mode="code-name">2000国家大地坐标系</xsl:template>
  <xsl:template match="CoordSysCd[@value='005']" mode="code-name">WGS 84坐标系</xsl:template>
  <xsl:template match="CoordSysCd[@value='006']" mode="code-name">国际地球参考框架（ITRF）</xsl:template>
  <xsl:template match="CoordSysCd[@value='007']" mode="code-name">地方独立坐标系</xsl:template>
  <xsl:template match="CoordSysCd[@value='008']" mode="code-name">任意（假定）坐标系</xsl:template>
  <xsl:template match="CoordSysCd[@value='999']" mode="code-name">其他</xsl:template>
  <xsl:template match="EllipsoidCd[@value='001']" mode="code-name">克拉索夫斯基椭球（a=6378245 m, 1/f=298.3）</xsl:template>
  <xsl:template match="EllipsoidCd[@value='002']" mode="code-name">1975国际椭球/IAG-75（a=6378140 m, 1/f=298.257）</xsl:template>
  <xsl:template match="EllipsoidCd[@value='003']" mode="code-name">WGS 84椭球（a=6378137 m, 1/f=298.257223563）</xsl:template>
  <xsl:template match="EllipsoidCd[@value='004']" mode="code-name">CGCS2000椭球（a=6378137 m, 1/f=298.257222101）</xsl:template>
  <xsl:template match="EllipsoidCd[@value='005']" mode="code-name">GRS 80椭球（a=6378137 m, 1/f=298.257222101）</xsl:template>
  <xsl:template match="EllipsoidCd[@value='006']" mode="code-name">1924国际椭球/海福特（a=6378388 m, 1/f=297）</xsl:template>
  <xsl:template match="EllipsoidCd[@value='007']" mode="code-name">贝塞尔椭球（a=6377397.155 m, 1/f=299.1528128）</xsl:template>
  <xsl:template match="EllipsoidCd[@value='008']" mode="code-name">克拉克1866椭球（a=6378206.4 m, 1/f=294.9786982）</xsl:template>
  <xsl:template match="EllipsoidCd[@value='999']" mode="code-name">其他</xsl:template>
  <xsl:template match="OnFunctCd[@value='001']" mode="code-name">下载</xsl:template>
  <xsl:template match="OnFunctCd[@value='002']" mode="code-name">信息</xsl:template>
  <xsl:template match="OnFunctCd[@value='003']" mode="code-name">脱机访问</xsl:template>
  <xsl:template match="OnFunctCd[@value='004']" mode="code-name">订购</xsl:template>
  <xsl:template match="OnFunctCd[@value='005']" mode="code-name">检索</xsl:template>
  <xsl:template match="MedNameCd[@value='001']" mode="code-name">只读光盘（CD-ROM）</xsl:template>
  <xsl:template match="MedNameCd[@value='002']" mode="code-name">数字通用光盘（DVD）</xsl:template>
  <xsl:template match="MedNameCd[@value='003']" mode="code-name">只读DVD（DVD-ROM）</xsl:template>
  <xsl:template match="MedNameCd[@value='004']" mode="code-name">3.5英寸软盘</xsl:template>
  <xsl:template match="MedNameCd[@value='005']" mode="code-name">5.25英寸软盘</xsl:template>
  <xsl:template match="MedNameCd[@value='006']" mode="code-name">7轨磁带</xsl:template>
  <xsl:template match="MedNameCd[@value='007']" mode="code-name">9轨磁带</xsl:template>
  <xsl:template match="MedNameCd[@value='008']" mode="code-name">3480盒式磁带</xsl:template>
  <xsl:template match="MedNameCd[@value='009']" mode="code-name">3490盒式磁带</xsl:template>
  <xsl:template match="MedNameCd[@value='010']" mode="code-name">3580盒式磁带</xsl:template>
  <xsl:template match="MedNameCd[@value='011']" mode="code-name">4毫米盒式磁带</xsl:template>
  <xsl:template match="MedNameCd[@value='012']" mode="code-name">8毫米盒式磁带</xsl:template>
  <xsl:template match="MedNameCd[@value='013']" mode="code-name">1/4英寸盒式磁带</xsl:template>
  <xsl:template match="MedNameCd[@value='014']" mode="code-name">数字线性磁带</xsl:template>
  <xsl:template match="MedNameCd[@value='015']" mode="code-name">在线</xsl:template>
  <xsl:template match="MedNameCd[@value='016']" mode="code-name">卫星</xsl:template>
  <xsl:template match="MedNameCd[@value='017']" mode="code-name">电话线路</xsl:template>
  <xsl:template match="MedNameCd[@value='018']" mode="code-name">硬拷贝</xsl:template>
</xsl:stylesheet>
