-- The 21 code lists: the value stored in an element (code), its English
-- and its Chinese name. The lists of the international standard keep its
-- domain codes; the lists named CH_ are the national extensions, six of
-- them PROVISIONAL (see the notes at each list).

-- Tag 10: MD_language (XML element languageCode)
INSERT INTO MD_language (code, ename, cname) VALUES
  ('chi', 'Chinese', '汉语'),
  ('eng', 'English', '英语'),
  ('rus', 'Russian', '俄语'),
  ('jpn', 'Japanese', '日语'),
  ('fre', 'French', '法语'),
  ('ger', 'German', '德语'),
  ('spa', 'Spanish', '西班牙语'),
  ('por', 'Portuguese', '葡萄牙语'),
  ('ita', 'Italian', '意大利语'),
  ('ara', 'Arabic', '阿拉伯语'),
  ('kor', 'Korean', '朝鲜语'),
  ('vie', 'Vietnamese', '越南语'),
  ('tha', 'Thai', '泰语'),
  ('mon', 'Mongolian', '蒙古语'),
  ('tib', 'Tibetan', '藏语'),
  ('uig', 'Uighur', '维吾尔语'),
  ('kaz', 'Kazakh', '哈萨克语'),
  ('zha', 'Zhuang', '壮语'),
  ('iii', 'Sichuan Yi', '彝语'),
  ('kir', 'Kirghiz', '柯尔克孜语');

-- Tag 11: MD_characterSet (XML element CharSetCd)
INSERT INTO MD_characterSet (code, ename, cname) VALUES
  ('001', 'ucs2', '16位定长通用字符集'),
  ('002', 'ucs4', '32位定长通用字符集'),
  ('003', 'utf7', '7位变长UCS转换格式'),
  ('004', 'utf8', '8位变长UCS转换格式'),
  ('005', 'utf16', '16位变长UCS转换格式'),
  ('006', '8859part1', 'ISO/IEC 8859-1 西欧拉丁字母'),
  ('007', '8859part2', 'ISO/IEC 8859-2 中欧拉丁字母'),
  ('008', '8859part3', 'ISO/IEC 8859-3 南欧拉丁字母'),
  ('009', '8859part4', 'ISO/IEC 8859-4 北欧拉丁字母'),
  ('010', '8859part5', 'ISO/IEC 8859-5 拉丁/西里尔字母'),
  ('011', '8859part6', 'ISO/IEC 8859-6 拉丁/阿拉伯字母'),
  ('012', '8859part7', 'ISO/IEC 8859-7 拉丁/希腊字母'),
  ('013', '8859part8', 'ISO/IEC 8859-8 拉丁/希伯来字母'),
  ('014', '8859part9', 'ISO/IEC 8859-9 拉丁字母第5部分'),
  ('015', '8859part10', 'ISO/IEC 8859-10 拉丁字母第6部分'),
  ('016', '8859part11', 'ISO/IEC 8859-11 拉丁/泰文字母'),
  ('018', '8859part13', 'ISO/IEC 8859-13 拉丁字母第7部分'),
  ('019', '8859part14', 'ISO/IEC 8859-14 拉丁字母第8部分（凯尔特）'),
  ('020', '8859part15', 'ISO/IEC 8859-15 拉丁字母第9部分'),
  ('021', '8859part16', 'ISO/IEC 8859-16 拉丁字母第10部分'),
  ('022', 'jis', '日本字符编码（JIS）'),
  ('023', 'shiftJIS', '日本Shift-JIS编码'),
  ('024', 'eucJP', '日本EUC编码'),
  ('025', 'usAscii', '美国信息交换标准码（ASCII）'),
  ('026', 'ebcdic', 'IBM大型机EBCDIC编码'),
  ('027', 'eucKR', '韩国EUC编码'),
  ('028', 'big5', '繁体中文BIG5编码'),
  ('029', 'GB2312', '简体中文GB 2312编码');

-- Tag 12: CI_DateTypeCode (XML element DateTypCd)
INSERT INTO CI_DateTypeCode (code, ename, cname) VALUES
  ('001', 'creation', '创建'),
  ('002', 'publication', '出版'),
  ('003', 'revision', '修订');

-- Tag 13: CI_RoleCode (XML element RoleCd)
INSERT INTO CI_RoleCode (code, ename, cname) VALUES
  ('001', 'resourceProvider', '资源提供者'),
  ('002', 'custodian', '管理者'),
  ('003', 'owner', '拥有者'),
  ('004', 'user', '用户'),
  ('005', 'distributor', '分发者'),
  ('006', 'originator', '创建者'),
  ('007', 'pointOfContact', '联系人'),
  ('008', 'principalInvestigator', '主要调查者'),
  ('009', 'processor', '处理者'),
  ('010', 'publisher', '出版者'),
  ('011', 'author', '作者');

-- Tag 14: CI_PresentationFormCode (XML element PresFormCd)
INSERT INTO CI_PresentationFormCode (code, ename, cname) VALUES
  ('001', 'documentDigital', '数字文档'),
  ('002', 'documentHardcopy', '硬拷贝文档'),
  ('003', 'imageDigital', '数字图像'),
  ('004', 'imageHardcopy', '硬拷贝图像'),
  ('005', 'mapDigital', '数字地图'),
  ('006', 'mapHardcopy', '硬拷贝地图'),
  ('007', 'modelDigital', '数字模型'),
  ('008', 'modelHardcopy', '硬拷贝模型'),
  ('009', 'profileDigital', '数字剖面'),
  ('010', 'profileHardcopy', '硬拷贝剖面'),
  ('011', 'tableDigital', '数字表格'),
  ('012', 'tableHardcopy', '硬拷贝表格'),
  ('013', 'videoDigital', '数字视频'),
  ('014', 'videoHardcopy', '硬拷贝视频');

-- Tag 15: MD_ProGressCode (XML element ProgCd)
INSERT INTO MD_ProGressCode (code, ename, cname) VALUES
  ('001', 'completed', '完成'),
  ('002', 'historicalArchive', '历史存档'),
  ('003', 'obsolete', '废弃'),
  ('004', 'onGoing', '持续更新'),
  ('005', 'planned', '计划中'),
  ('006', 'required', '需要'),
  ('007', 'underDevelopment', '正在建设');

-- Tag 16: MD_SpatialRepresentationTypeCode (XML element SpatRepTypCd)
INSERT INTO MD_SpatialRepresentationTypeCode (code, ename, cname) VALUES
  ('001', 'vector', '矢量'),
  ('002', 'grid', '格网'),
  ('003', 'textTable', '文本表格'),
  ('004', 'tin', '不规则三角网'),
  ('005', 'stereoModel', '立体模型'),
  ('006', 'video', '视频');

-- Tag 17: MD_TopicCategoryCode (XML element TopicCatCd)
INSERT INTO MD_TopicCategoryCode (code, ename, cname) VALUES
  ('001', 'farming', '农业'),
  ('002', 'biota', '生物'),
  ('003', 'boundaries', '边界'),
  ('004', 'climatologyMeteorologyAtmosphere', '气候、气象和大气'),
  ('005', 'economy', '经济'),
  ('006', 'elevation', '高程'),
  ('007', 'environment', '环境'),
  ('008', 'geoscientificInformation', '地球科学信息'),
  ('009', 'health', '健康'),
  ('010', 'imageryBaseMapsEarthCover', '影像、基础地图和地表覆盖'),
  ('011', 'intelligenceMilitary', '军事情报'),
  ('012', 'inlandWaters', '内陆水域'),
  ('013', 'location', '位置'),
  ('014', 'oceans', '海洋'),
  ('015', 'planningCadastre', '规划和地籍'),
  ('016', 'society', '社会'),
  ('017', 'structure', '建筑物和构筑物'),
  ('018', 'transportation', '交通'),
  ('019', 'utilitiesCommunication', '公用设施和通信');

-- Tag 18: CH_DataCategoryCode (XML element DataCatCd)
-- PROVISIONAL: no published text of this national list was at hand; its
-- codes and values are placeholders until the list is checked against
-- the national standard.
INSERT INTO CH_DataCategoryCode (code, ename, cname) VALUES
  ('001', 'regionalGeology', '区域地质'),
  ('002', 'mineralGeology', '矿产地质'),
  ('003', 'hydrogeology', '水文地质'),
  ('004', 'engineeringGeology', '工程地质'),
  ('005', 'environmentalGeology', '环境地质'),
  ('006', 'geohazard', '地质灾害'),
  ('007', 'geophysics', '地球物理'),
  ('008', 'geochemistry', '地球化学'),
  ('009', 'remoteSensingGeology', '遥感地质'),
  ('010', 'marineGeology', '海洋地质'),
  ('011', 'agriculturalGeology', '农业地质'),
  ('012', 'urbanGeology', '城市地质'),
  ('013', 'drilling', '钻探'),
  ('014', 'physicalSample', '实物地质资料'),
  ('015', 'comprehensiveResearch', '综合研究'),
  ('016', 'basicGeography', '基础地理'),
  ('999', 'other', '其他');

-- Tag 19: CH_VerticalDatumCode (XML element VertDatumCd)
-- PROVISIONAL codes: the names and parameters are the public ones, but
-- the codes (and English names) could not be taken from the national
-- standard and may differ from it.
INSERT INTO CH_VerticalDatumCode (code, ename, cname) VALUES
  ('001', 'Huanghai1956', '1956年黄海高程系'),
  ('002', 'NationalVerticalDatum1985', '1985国家高程基准'),
  ('003', 'Wusong', '吴淞高程基准'),
  ('004', 'Zhujiang', '珠江高程基准'),
  ('005', 'Dagu', '大沽高程基准'),
  ('006', 'FeiHuanghe', '废黄河高程基准'),
  ('007', 'localAssumed', '地方（假定）高程系'),
  ('008', 'ellipsoidalHeight', '大地高（椭球高）'),
  ('009', 'theoreticalDepthDatum', '理论深度基准面'),
  ('999', 'other', '其他');

-- Tag 20: CH_StandardTimeCode (XML element StdTimeCd)
-- PROVISIONAL: no published text of this national list was at hand; its
-- codes and values are placeholders until the list is checked against
-- the national standard.
INSERT INTO CH_StandardTimeCode (code, ename, cname) VALUES
  ('001', 'BeijingTime', '北京时间（UTC+8）'),
  ('002', 'UTC', '协调世界时'),
  ('003', 'GMT', '格林尼治平时'),
  ('004', 'localTime', '地方时'),
  ('005', 'GPSTime', 'GPS时'),
  ('006', 'BDT', '北斗时'),
  ('999', 'other', '其他');

-- Tag 21: MD_MaintenanceFrequencyCode (XML element MaintFreqCd)
INSERT INTO MD_MaintenanceFrequencyCode (code, ename, cname) VALUES
  ('001', 'continual', '连续'),
  ('002', 'daily', '每日'),
  ('003', 'weekly', '每周'),
  ('004', 'fortnightly', '每两周'),
  ('005', 'monthly', '每月'),
  ('006', 'quarterly', '每季度'),
  ('007', 'biannually', '每半年'),
  ('008', 'annually', '每年'),
  ('009', 'asNeeded', '根据需要'),
  ('010', 'irregular', '不定期'),
  ('011', 'notPlanned', '无计划'),
  ('998', 'unknown', '未知');

-- Tag 22: MD_KeywordTypeCode (XML element KeyTypCd)
INSERT INTO MD_KeywordTypeCode (code, ename, cname) VALUES
  ('001', 'discipline', '学科'),
  ('002', 'place', '地名'),
  ('003', 'stratum', '地层'),
  ('004', 'temporal', '时间'),
  ('005', 'theme', '主题');

-- Tag 23: MD_RestrictionCode (XML element RestrictCd)
INSERT INTO MD_RestrictionCode (code, ename, cname) VALUES
  ('001', 'copyright', '版权'),
  ('002', 'patent', '专利'),
  ('003', 'patentPending', '专利申请中'),
  ('004', 'trademark', '商标'),
  ('005', 'license', '许可证'),
  ('006', 'intellectualPropertyRights', '知识产权'),
  ('007', 'restricted', '受限'),
  ('008', 'otherRestrictions', '其他限制');

-- Tag 24: CH_PlatformTypeCode (XML element PlatTypCd)
-- PROVISIONAL: no published text of this national list was at hand; its
-- codes and values are placeholders until the list is checked against
-- the national standard.
INSERT INTO CH_PlatformTypeCode (code, ename, cname) VALUES
  ('001', 'satellite', '卫星'),
  ('002', 'spaceStation', '空间站/航天器'),
  ('003', 'aircraft', '有人驾驶飞机'),
  ('004', 'UAV', '无人机'),
  ('005', 'balloonAirship', '气球/飞艇'),
  ('006', 'ship', '船舶'),
  ('007', 'vehicle', '车载'),
  ('008', 'groundStation', '地面固定站'),
  ('009', 'borehole', '钻孔（井中）'),
  ('010', 'underwater', '水下'),
  ('999', 'other', '其他');

-- Tag 25: MD_AssociationTypeCode (XML element AscTypeCd)
INSERT INTO MD_AssociationTypeCode (code, ename, cname) VALUES
  ('001', 'crossReference', '交叉引用'),
  ('002', 'largerWorkCitation', '所属上级成果引用'),
  ('003', 'partOfSeamlessDatabase', '无缝数据库的一部分'),
  ('004', 'source', '数据源'),
  ('005', 'stereoMate', '立体像对');

-- Tag 26: MD_ScopeCode (XML element ScopeCd)
INSERT INTO MD_ScopeCode (code, ename, cname) VALUES
  ('001', 'attribute', '属性'),
  ('002', 'attributeType', '属性类型'),
  ('003', 'collectionHardware', '采集硬件'),
  ('004', 'collectionSession', '采集会话'),
  ('005', 'dataset', '数据集'),
  ('006', 'series', '数据集系列'),
  ('007', 'nonGeographicDataset', '非地理数据集'),
  ('008', 'dimensionGroup', '维组'),
  ('009', 'feature', '要素'),
  ('010', 'featureType', '要素类型'),
  ('011', 'propertyType', '特性类型'),
  ('012', 'fieldSession', '野外会话'),
  ('013', 'software', '软件'),
  ('014', 'service', '服务'),
  ('015', 'model', '模型'),
  ('016', 'tile', '图块');

-- Tag 27: CH_CoordinateSystemCode (XML element CoordSysCd)
-- PROVISIONAL codes: the names and parameters are the public ones, but
-- the codes (and English names) could not be taken from the national
-- standard and may differ from it.
INSERT INTO CH_CoordinateSystemCode (code, ename, cname) VALUES
  ('001', 'Beijing1954', '1954北京坐标系'),
  ('002', 'Xian1980', '1980西安坐标系'),
  ('003', 'NewBeijing1954', '新1954北京坐标系'),
  ('004', 'CGCS2000', '2000国家大地坐标系'),
  ('005', 'WGS84', 'WGS 84坐标系'),
  ('006', 'ITRF', '国际地球参考框架（ITRF）'),
  ('007', 'localIndependent', '地方独立坐标系'),
  ('008', 'arbitrary', '任意（假定）坐标系'),
  ('999', 'other', '其他');

-- Tag 28: CH_EllipsoidCode (XML element EllipsoidCd)
-- PROVISIONAL codes: the names and parameters are the public ones, but
-- the codes (and English names) could not be taken from the national
-- standard and may differ from it.
INSERT INTO CH_EllipsoidCode (code, ename, cname) VALUES
  ('001', 'Krassovsky1940', '克拉索夫斯基椭球（a=6378245 m, 1/f=298.3）'),
  ('002', 'IAG1975', '1975国际椭球/IAG-75（a=6378140 m, 1/f=298.257）'),
  ('003', 'WGS84', 'WGS 84椭球（a=6378137 m, 1/f=298.257223563）'),
  ('004', 'CGCS2000', 'CGCS2000椭球（a=6378137 m, 1/f=298.257222101）'),
  ('005', 'GRS80', 'GRS 80椭球（a=6378137 m, 1/f=298.257222101）'),
  ('006', 'International1924', '1924国际椭球/海福特（a=6378388 m, 1/f=297）'),
  ('007', 'Bessel1841', '贝塞尔椭球（a=6377397.155 m, 1/f=299.1528128）'),
  ('008', 'Clarke1866', '克拉克1866椭球（a=6378206.4 m, 1/f=294.9786982）'),
  ('999', 'other', '其他');

-- Tag 29: CI_OnLineFunctionCode (XML element OnFunctCd)
INSERT INTO CI_OnLineFunctionCode (code, ename, cname) VALUES
  ('001', 'download', '下载'),
  ('002', 'information', '信息'),
  ('003', 'offlineAccess', '脱机访问'),
  ('004', 'order', '订购'),
  ('005', 'search', '检索');

-- Tag 30: MD_MediumNameCode (XML element MedNameCd)
INSERT INTO MD_MediumNameCode (code, ename, cname) VALUES
  ('001', 'cdRom', '只读光盘（CD-ROM）'),
  ('002', 'dvd', '数字通用光盘（DVD）'),
  ('003', 'dvdRom', '只读DVD（DVD-ROM）'),
  ('004', '3halfInchFloppy', '3.5英寸软盘'),
  ('005', '5quarterInchFloppy', '5.25英寸软盘'),
  ('006', '7trackTape', '7轨磁带'),
  ('007', '9trackTape', '9轨磁带'),
  ('008', '3480Cartridge', '3480盒式磁带'),
  ('009', '3490Cartridge', '3490盒式磁带'),
  ('010', '3580Cartridge', '3580盒式磁带'),
  ('011', '4mmCartridgeTape', '4毫米盒式磁带'),
  ('012', '8mmCartridgeTape', '8毫米盒式磁带'),
  ('013', '1quarterInchCartridgeTape', '1/4英寸盒式磁带'),
  ('014', 'digitalLinearTape', '数字线性磁带'),
  ('015', 'onLine', '在线'),
  ('016', 'satellite', '卫星'),
  ('017', 'telephoneLink', '电话线路'),
  ('018', 'hardcopy', '硬拷贝');
