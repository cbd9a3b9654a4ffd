<?xml version="1.0" encoding="UTF-8"?>
<!-- Preview page of a 核心元数据 record file. Written by tools/xslgen/make_xsl.py
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
            <p class="kind">核心元数据</p>
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
  <xsl:template match="/metadata/dataIdInfo/idCitation/resRefDate" mode="label">引用日期</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation/resRefDate/refDate" mode="label">日期</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idCitation/resRefDate/refDateType" mode="label">日期类型</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idAbs" mode="label">摘要</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idPoC" mode="label">联系方</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idPoC/rpIndName" mode="label">负责人姓名</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idPoC/rpOrgName" mode="label">单位名称</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idPoC/rpPosName" mode="label">职务</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idPoC/rpCntInfo" mode="label">联系信息</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idPoC/rpCntInfo/cntPhone" mode="label">电话</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idPoC/rpCntInfo/cntPhone/voiceNum" mode="label">电话号码</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idPoC/rpCntInfo/cntAddress" mode="label">地址</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idPoC/rpCntInfo/cntAddress/delPoint" mode="label">详细地址</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idPoC/rpCntInfo/cntAddress/city" mode="label">城市</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idPoC/rpCntInfo/cntAddress/postCode" mode="label">邮政编码</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idPoC/rpCntInfo/cntAddress/eMailAdd" mode="label">电子邮件地址</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/idPoC/role" mode="label">职责</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/spatRpType" mode="label">空间表示类型</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/dataScale" mode="label">空间分辨率</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/dataScale/equScale" mode="label">等效比例尺</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/dataScale/equScale/rfDenom" mode="label">比例尺分母</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/dataScale/scaleDist" mode="label">地面分辨率（米）</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/dataLang" mode="label">数据语种</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/dataChar" mode="label">数据字符集</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/tpCat" mode="label">专题类别</xsl:template>
  <xsl:template match="/metadata/dataIdInfo/dataCat" mode="label">数据类别</xsl:template>
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
  <xsl:template match="/metadata/dqInfo" mode="label">数据质量信息</xsl:template>
  <xsl:template match="/metadata/dqInfo/dqScope" mode="label">质量范围</xsl:template>
  <xsl:template match="/metadata/dqInfo/dqScope/scpLvl" mode="label">层次级别</xsl:template>
  <xsl:template match="/metadata/dqInfo/dataLineage" mode="label">数据志</xsl:template>
  <xsl:template match="/metadata/dqInfo/dataLineage/statement" mode="label">数据志说明</xsl:template>
  <xsl:template match="/metadata/refSysInfo" mode="label">参照系信息</xsl:template>
  <xsl:template match="/metadata/refSysInfo/refSysID" mode="label">参照系标识符</xsl:template>
  <xsl:template match="/metadata/refSysInfo/refSysID/identCode" mode="label">代码</xsl:template>
  <xsl:template match="/metadata/refSysInfo/coordSys" mode="label">坐标系统</xsl:template>
  <xsl:template match="/metadata/refSysInfo/coordSys/coordSysName" mode="label">坐标系统名称</xsl:template>
  <xsl:template match="/metadata/refSysInfo/coordSys/ellipsoid" mode="label">椭球体</xsl:template>
  <xsl:template match="/metadata/refSysInfo/coordSys/projection" mode="label">投影名称</xsl:template>
  <xsl:template match="/metadata/refSysInfo/vertRefSys" mode="label">高程参照系</xsl:template>
  <xsl:template match="/metadata/refSysInfo/vertRefSys/vertDatum" mode="label">高程基准</xsl:template>
  <xsl:template match="/metadata/distInfo" mode="label">分发信息</xsl:template>
  <xsl:template match="/metadata/distInfo/distFormat" mode="label">分发格式</xsl:template>
  <xsl:template match="/metadata/distInfo/distFormat/formatName" mode="label">格式名称</xsl:template>
  <xsl:template match="/metadata/distInfo/distFormat/formatVer" mode="label">格式版本</xsl:template>
  <xsl:template match="/metadata/distInfo/distTranOps" mode="label">数字传输选项</xsl:template>
  <xsl:template match="/metadata/distInfo/distTranOps/onLineSrc" mode="label">在线资源</xsl:template>
  <xsl:template match="/metadata/distInfo/distTranOps/onLineSrc/linkage" mode="label">链接地址</xsl:template>
  <xsl:template match="/metadata/mdFileID" mode="label">元数据文件标识符</xsl:template>
  <xsl:template match="/metadata/mdLang" mode="label">元数据语种</xsl:template>
  <xsl:template match="/metadata/mdChar" mode="label">元数据字符集</xsl:template>
  <xsl:template match="/metadata/mdContact" mode="label">元数据联系方</xsl:template>
  <xsl:template match="/metadata/mdContact/rpIndName" mode="label">负责人姓名</xsl:template>
  <xsl:template match="/metadata/mdContact/rpOrgName" mode="label">单位名称</xsl:template>
  <xsl:template match="/metadata/mdContact/rpPosName" mode="label">职务</xsl:template>
  <xsl:template match="/metadata/mdContact/rpCntInfo" mode="label">联系信息</xsl:template>
  <xsl:template match="/metadata/mdContact/rpCntInfo/cntPhone" mode="label">电话</xsl:template>
  <xsl:template match="/metadata/mdContact/rpCntInfo/cntPhone/voiceNum" mode="label">电话号码</xsl:template>
  <xsl:template match="/metadata/mdContact/rpCntInfo/cntAddress" mode="label">地址</xsl:template>
  <xsl:template match="/metadata/mdContact/rpCntInfo/cntAddress/delPoint" mode="label">详细地址</xsl:template>
  <xsl:template match="/metadata/mdContact/rpCntInfo/cntAddress/city" mode="label">城市</xsl:template>
  <xsl:template match="/metadata/mdContact/rpCntInfo/cntAddress/postCode" mode="label">邮政编码</xsl:template>
  <xsl:template match="/metadata/mdContact/rpCntInfo/cntAddress/eMailAdd" mode="label">电子邮件地址</xsl:template>
  <xsl:template match="/metadata/mdContact/role" mode="label">职责</xsl:template>
  <xsl:template match="/metadata/mdDateSt" mode="label">元数据日期</xsl:template>
  <xsl:template match="/metadata/mdStanName" mode="label">元数据标准名称</xsl:template>
  <xsl:template match="/metadata/mdStanVer" mode="label">元数据标准版本</xsl:template>

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
</xsl:stylesheet>
