-- Demo rows of the head-office database, part: the voucher engine: stock posting, numbering, journal entries, inputs, units.

-- The settings the voucher engine and the receiver read.
INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, valoraux) VALUES ('AsientosXStock', 'SI', '')
INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, valoraux) VALUES ('ConfirmaUDEquiv', 'NO', '')
INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, valoraux) VALUES ('IR_Oblig', 'NO', '')
INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, valoraux) VALUES ('DepositoDefault', 'A001', '')
INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, valoraux) VALUES ('MotivoStockDefault', '1', '')
INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, valoraux) VALUES ('DescargaInsumosProduccion', 'NO', '')
INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, valoraux) VALUES ('CuentaCtroDist', '1.1.10', '')
INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, valoraux) VALUES ('MotivoStockRemito', '2', '')
INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, valoraux) VALUES ('MotivoStockComodato', '3', '')
INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, valoraux) VALUES ('MotivoStockTransferencias', '4', '')
INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, valoraux) VALUES ('MotivoStockRecepcionOC', '5', '')
INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, valoraux) VALUES ('NUM_PE', 'PE', '')
INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, valoraux) VALUES ('CONDIVA', '1', '')
-- Each store posts its sales under a stock reason of its own, not the default one (1).
INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, valoraux) VALUES ('A001Cfg_VentasSuc', '11|VT|IN|0|', '')
INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, valoraux) VALUES ('A002Cfg_VentasSuc', '12|VT|IN|0|', '')
INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, valoraux) VALUES ('PideDepositoEnCptes', 'NO', '')
INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, valoraux) VALUES ('NoMostrarImportesEnOT', 'NO', '')
INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, valoraux) VALUES ('NombreArticulos', 'ARTÍCULO', '')
INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, valoraux) VALUES ('V_ListaPreciosPorItemArticulos', 'NO', '')
INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, valoraux) VALUES ('V_DescuentoPorArticulos', 'NO', '')
INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, valoraux) VALUES ('ComprasDescuentoPorArticulo', 'NO', '')
INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, valoraux) VALUES ('TransporteCombustibles', 'NO', '')
INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, valoraux) VALUES ('MADERERA', 'NO', '')
INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, valoraux) VALUES ('USA_STK_STOCK_UDKG', 'NO', '')
INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, valoraux) VALUES ('UNIDADDEMEDIDA_M3', 'M3', '')
INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, valoraux) VALUES ('UNIDADDEMEDIDA_BL', 'BL', '')
INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, valoraux) VALUES ('UNIDADDEMEDIDA_KG', 'KG', '')
INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, valoraux) VALUES ('PERIODO', '2008', '')

-- Accounts: the articles' inventory account (CUENTACONTABLEC) is not the stock reasons' own.
UPDATE MA_ARTICULOS SET CUENTACONTABLEC = '1.1.05'
INSERT INTO V_TA_MOTIVOSTOCK (IDMOTIVOSTOCK, Descripcion, CUENTACONTABLE) VALUES (2, 'Remito de salida', '1.1.06')
INSERT INTO V_TA_MOTIVOSTOCK (IDMOTIVOSTOCK, Descripcion, CUENTACONTABLE) VALUES (3, 'Entrega en comodato', '1.1.07')
INSERT INTO V_TA_MOTIVOSTOCK (IDMOTIVOSTOCK, Descripcion, CUENTACONTABLE) VALUES (4, 'Transferencia entre depósitos', '1.1.06')
INSERT INTO V_TA_MOTIVOSTOCK (IDMOTIVOSTOCK, Descripcion, CUENTACONTABLE) VALUES (5, 'Recepción de orden de compra', '2.1.01')
INSERT INTO V_TA_MOTIVOSTOCK (IDMOTIVOSTOCK, Descripcion, CUENTACONTABLE) VALUES (6, 'Ajuste de inventario', '5.1.02')
INSERT INTO V_TA_MOTIVOSTOCK (IDMOTIVOSTOCK, Descripcion, CUENTACONTABLE) VALUES (11, 'Venta en Sucursal Centro', '5.1.01')
INSERT INTO V_TA_MOTIVOSTOCK (IDMOTIVOSTOCK, Descripcion, CUENTACONTABLE) VALUES (12, 'Venta en Sucursal Peñarol', '5.1.01')
INSERT INTO V_TA_MotivoVta (IdMotivoVta, Descripcion) VALUES (1, 'Venta de mostrador')
INSERT INTO V_TA_Input_Ventas (IdMotivoVta, COSTO_MERCADERIA) VALUES (1, '5.1.01')

-- The stock subdiary: its entries are of register type STK.
INSERT INTO MA_SUBDIARIOS (CODIGO, DESCRIPCION, Subdiario) VALUES ('ST  ', 'Subdiario de stock', 'STK')
INSERT INTO MA_SUBDIARIOSCOMPROBANTES (TC, Subdiario) VALUES ('TK  ', 'ST  ')
INSERT INTO MA_SUBDIARIOSCOMPROBANTES (TC, Subdiario) VALUES ('IR  ', 'ST  ')
INSERT INTO MA_SUBDIARIOSCOMPROBANTES (TC, Subdiario) VALUES ('VS  ', 'ST  ')
INSERT INTO MA_SUBDIARIOSCOMPROBANTES (TC, Subdiario) VALUES ('PE  ', 'ST  ')
INSERT INTO MA_SUBDIARIOSCOMPROBANTES (TC, Subdiario) VALUES ('AJP ', 'ST  ')

-- The voucher book of the production-input discharge: branch 0001, letter X, numbers from 1.
INSERT INTO V_TA_CPTE (CODIGO, TALONARIO, DESCRIPCION, SISTEMA, ES, Letras, X_SUC_DEFAULT, X_NRO_DESDE, X_NRO_HASTA, X_ULTIMO_NRO) VALUES ('PE  ', 1, 'Descarga de insumos de producción', 'STOCK', 'S', 'X', 1, 1, 99999999, 0)

-- Inputs and unit equivalences: the ñoquis carry cheese; a box holds 12 sugars or 24 coffees.
INSERT INTO V_MA_INSUMOS (IDARTICULO, IdArticuloInsumo, IdUnidadInsumo, Cantidad) VALUES ('000456', 'QUESO-CREMOSO-HORMA-KG-01', 'KG', 0.05)
INSERT INTO S_TA_EQUIV (IdArticulo, IDUNIDAD, IDUNIDAD_EQUIV, Coeficiente) VALUES ('000123', 'CJ', 'UN', 12)
INSERT INTO S_TA_EQUIV (IdArticulo, IDUNIDAD, IDUNIDAD_EQUIV, Coeficiente) VALUES ('000789', 'CJ', 'UN', 24)

-- The opening stock of both stores' deposits: one inventory adjustment.
INSERT INTO V_MV_STOCK (TC, IdComprobante, IdComplemento, Secuencia, Fecha, IdDeposito, IdArticulo, Descripcion, IdUnidad, Cantidad, CantidadUD, IdUnidadBase, IdMotivoStock, Costo, UNEGOCIO) VALUES ('AJP ', '000100000001X', 0, 1, '01/03/2008', 'A001', '000123', 'Azúcar refinada 1 kg', 'UN', 120, 120, 'UN', 6, 45.5, 'A001')
INSERT INTO V_MV_STOCK (TC, IdComprobante, IdComplemento, Secuencia, Fecha, IdDeposito, IdArticulo, Descripcion, IdUnidad, Cantidad, CantidadUD, IdUnidadBase, IdMotivoStock, Costo, UNEGOCIO) VALUES ('AJP ', '000100000001X', 0, 2, '01/03/2008', 'A001', '000456', 'Ñoquis de papa 500 g', 'UN', 60, 60, 'UN', 6, 30, 'A001')
INSERT INTO V_MV_STOCK (TC, IdComprobante, IdComplemento, Secuencia, Fecha, IdDeposito, IdArticulo, Descripcion, IdUnidad, Cantidad, CantidadUD, IdUnidadBase, IdMotivoStock, Costo, UNEGOCIO) VALUES ('AJP ', '000100000001X', 0, 3, '01/03/2008', 'A001', 'QUESO-CREMOSO-HORMA-KG-01', 'Queso cremoso por kilo', 'KG', 15, 15, 'KG', 6, 120, 'A001')
INSERT INTO V_MV_STOCK (TC, IdComprobante, IdComplemento, Secuencia, Fecha, IdDeposito, IdArticulo, Descripcion, IdUnidad, Cantidad, CantidadUD, IdUnidadBase, IdMotivoStock, Costo, UNEGOCIO) VALUES ('AJP ', '000100000001X', 0, 4, '01/03/2008', 'A002', '000123', 'Azúcar refinada 1 kg', 'UN', 48, 48, 'UN', 6, 45.5, 'A002')
INSERT INTO V_MV_STOCK (TC, IdComprobante, IdComplemento, Secuencia, Fecha, IdDeposito, IdArticulo, Descripcion, IdUnidad, Cantidad, CantidadUD, IdUnidadBase, IdMotivoStock, Costo, UNEGOCIO) VALUES ('AJP ', '000100000001X', 0, 5, '01/03/2008', 'A002', '000789', 'Café molido torrado 250 g', 'UN', 24, 24, 'UN', 6, 80.25, 'A002')

-- The stores' voucher books number from 1, as the input-discharge book does.
UPDATE V_TA_CPTE SET X_NRO_DESDE = 1, X_NRO_HASTA = 99999999 WHERE CODIGO IN ('TK', 'IR', 'VS')

-- A breakfast basket made of two sugars and a coffee; the coffee at the centre is in two lots.
INSERT INTO MA_ARTICULOS (IDARTICULO, DESCRIPCION, DESCRIPCIONTICKET, MARCA, PRESENTACION, IDUNIDAD, UNIDADESBULTO, HABILITADOCOMPRA, ENGANCHE, IDTIPO, IDRUBRO, IDFAMILIA, CLASIFICACION, IVA, TASAIVA, EXENTO, COSTO, PESABLE, ENVASE, CUENTACONTABLE, CUENTACONTABLEC, CTACON1)
VALUES ('000900', 'Canasta desayuno', 'CANASTA DESAYUNO', 'Korvane', 'caja', 'UN', 1, 'N', '', 'MER', 'ALM', '1', 'A', '1', 21, 0, 171.5, 0, '0', '1.1.05', '1.1.05', '1.1.05')
INSERT INTO V_MA_INSUMOS (IDARTICULO, IdArticuloInsumo, IdUnidadInsumo, Cantidad) VALUES ('000900', '000123', 'UN', 2)
INSERT INTO V_MA_INSUMOS (IDARTICULO, IdArticuloInsumo, IdUnidadInsumo, Cantidad) VALUES ('000900', '000789', 'UN', 1)
INSERT INTO V_MV_STOCK (TC, IdComprobante, IdComplemento, Secuencia, Fecha, IdDeposito, IdArticulo, Descripcion, NroLote, IdUnidad, Cantidad, CantidadUD, IdUnidadBase, IdMotivoStock, Costo, UNEGOCIO) VALUES ('AJP ', '000100000001X', 0, 6, '01/03/2008', 'A001', '000789', 'Café molido torrado 250 g', 'L0001', 'UN', 4, 4, 'UN', 6, 80.25, 'A001')
INSERT INTO V_MV_STOCK (TC, IdComprobante, IdComplemento, Secuencia, Fecha, IdDeposito, IdArticulo, Descripcion, NroLote, IdUnidad, Cantidad, CantidadUD, IdUnidadBase, IdMotivoStock, Costo, UNEGOCIO) VALUES ('AJP ', '000100000001X', 0, 7, '01/03/2008', 'A001', '000789', 'Café molido torrado 250 g', 'L0002', 'UN', 5, 5, 'UN', 6, 80.25, 'A001')
